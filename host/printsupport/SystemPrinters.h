#pragma once
// The operating system's (CUPS) printers through Qt Print Support, which
// brings Qt Widgets along; only programs that print on real printers link it.
namespace zd {

// Makes the system's printers selectable beside the virtual PDF printer.
// Call once at start-up, before any printer is listed.
void InstallSystemPrinters();

}  // namespace zd
