#include "platform/ui/view.h"

#include "platform/ui/document.h"

namespace platform::ui {

View::View(QWidget* parent) : SurfaceWidget(parent), timers_([this](int id) { OnTimer(id); }) {
  setFocusPolicy(Qt::StrongFocus);
}

View::~View() {
  timers_.KillAll();
  if (document_) document_->RemoveView(this);
}

void View::OnUpdate(View*, long) { update(); }

View* CreateView(QWidget* parent, const CreateContext& context) {
  if (!context.newView) return nullptr;
  View* view = context.newView(parent);
  if (view && context.document) context.document->AddView(view);
  return view;
}

}  // namespace platform::ui
