#include "richtext/ui/rich_text_pane.h"

#include <QVBoxLayout>

#include "richtext/ui/rich_text_editor.h"
#include "richtext/ui/rich_text_tool_bar.h"
#include "richtext/ui/ruler_widget.h"

namespace mirokata {

RichTextPane::RichTextPane(SettingsFile* settings, QWidget* parent)
    : QWidget(parent),
      editor_(new RichTextEditor(this)),
      tool_bar_(new RichTextToolBar(settings, this)),
      ruler_(new RulerWidget(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(tool_bar_);
  layout->addWidget(ruler_);
  layout->addWidget(editor_, 1);
  tool_bar_->SetEditor(editor_);
  ruler_->SetEditor(editor_);
  connect(tool_bar_, &RichTextToolBar::FormatApplied, this,
          &RichTextPane::FormatChanged);
  connect(ruler_, &RulerWidget::IndentsApplied, this,
          &RichTextPane::FormatChanged);
  connect(tool_bar_, &RichTextToolBar::FormatApplied, ruler_,
          &RulerWidget::ShowCurrentIndents);
}

void RichTextPane::SetReadOnly(bool read_only) {
  editor_->setReadOnly(read_only);
  tool_bar_->ShowCurrentFormat();
}

}  // namespace mirokata
