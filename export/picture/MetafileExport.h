#pragma once
// The metafile exporters: the pages joined into one enhanced metafile of
// the whole result (with one file per page, the page by itself), saved as
// it is or in the older Windows metafile form.
#include <memory>
#include <ostream>
#include <string>

#include "export/Export.h"
#include "host/emf/MetafileAssembly.h"

namespace zd {

class TZdqExportToEMF : public TZdqExport {
 public:
  explicit TZdqExportToEMF(TComponent* owner = nullptr);
  ~TZdqExportToEMF() override;
  std::string ClassName() const override { return "TZdqExportToEMF"; }

  void StartExport() override;
  void EndExport() override;
  void PageProcessed(const TMetafile& page) override;
  /// Writes the pages played since the last save; the next ones start a
  /// picture of their own.
  void SaveToFile(const std::string& fileName) override;

 protected:
  virtual void WriteMetafile(std::ostream& out, const TMetafile& picture) const;

 private:
  std::unique_ptr<TMetafileAssembly> picture_;
};

class TZdqExportToWMF : public TZdqExportToEMF {
 public:
  using TZdqExportToEMF::TZdqExportToEMF;
  std::string ClassName() const override { return "TZdqExportToWMF"; }

 protected:
  void WriteMetafile(std::ostream& out, const TMetafile& picture) const override;
};

}  // namespace zd
