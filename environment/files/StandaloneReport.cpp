#include "environment/files/StandaloneReport.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "designer/DesignTemplates.h"
#include "host/data/MemoryDataSet.h"
#include "host/emf/detail/MetafilePlayer.h"

namespace zd {

namespace {

// After the banner's 32-bit length, its start in UTF-16.
constexpr std::array<char, 12> kPreparedReportStart = {0, 0, 0, 0, 'Z', 0, 'D', 0, 'Q', 0, 'P', 0};

[[noreturn]] void CannotRead(const std::string& fileName, const std::string& reason) {
  throw std::runtime_error("cannot read '" + fileName + "': " + reason);
}

}  // namespace

TReportFileKind ReportFileKind(const std::string& fileName) {
  std::error_code error;
  if (std::filesystem::is_directory(fileName, error)) CannotRead(fileName, "it is a folder");
  std::ifstream in(fileName, std::ios::binary);
  if (!in) CannotRead(fileName, "no such file, or no permission");
  std::array<char, 12> head{};
  in.read(head.data(), head.size());
  head[0] = head[1] = head[2] = head[3] = 0;
  return head == kPreparedReportStart ? TReportFileKind::PreparedReport : TReportFileKind::Template;
}

TStandaloneReport::TStandaloneReport(const std::string& fileName)
    : kind_(ReportFileKind(fileName)), report_(new TZdReport(&root_)) {
  try {
    if (kind_ == TReportFileKind::PreparedReport) {
      report_->LoadPreparedReport(fileName);
      return;
    }
    // Templates come from anyone: they read pictures only beside themselves.
    const std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    report_->FileAccess().AllowFolder(folder.empty() ? std::string(".") : folder.string());
    LoadReportForDesign(*report_, fileName);
  } catch (const std::exception& e) {
    CannotRead(fileName, e.what());
  }
  // Nor does it read the datasets a template stores: a file opened on its own shows no rows.
  for (TDataSet* stored : report_->OwnDatasets()) delete stored;
  if (!report_->DataSet()) report_->SetDataSet(new TMemoryDataSet(&root_));
  for (TComponent* component : root_.Components())
    if (auto* standIn = dynamic_cast<TMemoryDataSet*>(component)) {
      standIn->AddField("_", TFieldType::ftString, 1);  // no dataset opens without a field
      standIn->Open();
    }
  // The stand-ins have none of the fields the template names: they print
  // empty, as any other name nothing answers.
  report_->OnGetVariable = [](TComponent*, const std::string&, bool& accept, TFieldType& type, TVariant& value) {
    if (accept) return;
    accept = true;
    type = TFieldType::ftString;
    value = std::string();
  };
}

void TStandaloneReport::Prepare() {
  if (kind_ == TReportFileKind::Template) {
    report_->SetAnimatedStatus(false);
    report_->Prepare();
  }
  if (report_->Pages().Count() == 0) throw std::runtime_error("the report has no pages");
}

QImage RenderFirstPage(const TZdPrintBaseComponent& report, int maxSide) {
  const TPageInfo* page = report.GetPage(0, 0);
  if (!page || page->PageWidth() <= 0 || page->PageHeight() <= 0)
    throw std::runtime_error("the report has no page to draw");
  const double scale = double(maxSide) / std::max(page->PageWidth(), page->PageHeight());
  const QSize size(std::max(1, int(page->PageWidth() * scale + 0.5)), std::max(1, int(page->PageHeight() * scale + 0.5)));
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  PlayMetafile(*page->Drawing(), painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return image;
}

}  // namespace zd
