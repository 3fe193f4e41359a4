#include "editor/text_list_dlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "quest/text_format.h"
#include "editor/dialog_files.h"
#include "editor/dialog_strings.h"
#include "editor/text_dlg.h"
#include "platform/core/file.h"
#include "platform/core/services.h"
#include "platform/ui/application.h"

namespace kelvar {
namespace {

void FileErrorBox(const char* format, const platform::FileException& e) {
  platform::ui::AppMessageBox(FormatText(format, e.path().c_str(), static_cast<unsigned>(e.cause())), platform::kMbOk);
}

}  // namespace

CTextListDlg::CTextListDlg(QWidget* parent) : Dialog(parent), list_(new platform::ui::ListBox(this)) {
  setWindowTitle("Text");
  list_->setObjectName("list1001");
  list_->setMinimumSize(320, 300);
  list_->onSelChange = [this] { OnSelChange(list_->GetCurSel()); };
  auto* exportButton = new QPushButton("Export...", this);
  exportButton->setObjectName("button1111");
  auto* importButton = new QPushButton("Import...", this);
  importButton->setObjectName("button1112");
  auto* ok = new QPushButton("OK", this);
  ok->setDefault(true);
  connect(exportButton, &QPushButton::clicked, this, [this] { OnExport(); });
  connect(importButton, &QPushButton::clicked, this, [this] { OnImport(); });
  connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(exportButton);
  buttons->addWidget(importButton);
  buttons->addStretch();
  buttons->addWidget(ok);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(buttons);
}

bool CTextListDlg::OnInitDialog() {
  entries_ = CollectQuestTexts();
  SortByLabel(entries_);
  list_->ResetContent();
  for (const QuestTextEntry& entry : entries_) list_->AddString(entry.label);
  return true;
}

void CTextListDlg::OnSelChange(int row) {
  if (row < 0 || row >= static_cast<int>(entries_.size())) return;
  if (EditAllLanguages(*entries_[static_cast<std::size_t>(row)].text)) changed_ = true;
}

void CTextListDlg::OnExport() {
  try {
    ExportQuestTexts(entries_, kExportFile);
  } catch (const platform::FileException& e) {
    FileErrorBox("Error while saving %s, error = %u\n", e);
  }
}

void CTextListDlg::OnImport() {
  const auto chosen = ChooseFileToOpen(".TXT", kIdsTextFilter);
  if (!chosen) return;
  try {
    std::string refused;
    if (ImportQuestTexts(entries_, *chosen, &refused) > 0) changed_ = true;
    if (!refused.empty()) platform::ui::AppMessageBox(*chosen + ":\n" + refused, platform::kMbOk);
  } catch (const platform::FileException& e) {
    FileErrorBox("Can't open file %s, error = %u\n", e);
  }
}

}  // namespace kelvar
