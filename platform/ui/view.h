#pragma once
// A view: a widget showing one document, a command target, with window timers
// and the surface presentation of SurfaceWidget.
#include <functional>

#include "platform/ui/command_target.h"
#include "platform/ui/surface_widget.h"
#include "platform/ui/window_timers.h"

namespace platform::ui {

class Document;
class DocTemplate;
class View;

using ViewFactory = std::function<View*(QWidget* parent)>;

// What a frame needs to build its panes for a document.
struct CreateContext {
  Document* document = nullptr;
  DocTemplate* docTemplate = nullptr;
  ViewFactory newView;
};

class View : public SurfaceWidget, public CommandTarget {
 public:
  explicit View(QWidget* parent = nullptr);
  ~View() override;

  Document* GetDocument() const { return document_; }
  WindowTimers& Timers() { return timers_; }

  // Once, after the frame and its panes exist and the document is loaded.
  virtual void OnInitialUpdate() { OnUpdate(nullptr, 0); }
  // The document changed; by default repaint.
  virtual void OnUpdate(View* sender, long hint);
  virtual void OnTimer(int /*id*/) {}
  // The frame is going away; the widget is deleted a moment later.
  virtual void OnDestroy() {}

 private:
  friend class Document;
  Document* document_ = nullptr;
  WindowTimers timers_;
};

// Makes the context's view under the parent and attaches it to the document.
View* CreateView(QWidget* parent, const CreateContext& context);

}  // namespace platform::ui
