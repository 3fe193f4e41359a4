#pragma once
// A child frame: one window in the main frame's workspace showing a document
// through one view, or several in a splitter.
#include <QPointer>
#include <QRect>
#include <QWidget>

#include "platform/ui/command_target.h"
#include "platform/ui/view.h"

#include <QMdiSubWindow>

namespace platform::ui {

class Document;

class ChildFrame : public QWidget, public CommandTarget {
 public:
  // Registers next and previous pane (focus moves between its views).
  ChildFrame();
  ~ChildFrame() override;

  struct CreateParams {
    QRect geometry;        // empty: the workspace's default
    bool maximized = false;
  };
  // Before the window exists: its size and state.
  virtual void PreCreateWindow(CreateParams& /*params*/) {}
  // Builds the panes. Default: the context's view fills the frame.
  virtual bool OnCreateClient(const CreateContext& context);
  // The close box or a close request: the document may ask to save first;
  // its last frame closes the document. False keeps the frame.
  virtual bool OnClose();
  // The frame is being destroyed (before its views).
  virtual void OnDestroy() {}

  // Its window in the workspace (null before it is placed).
  QMdiSubWindow* Window() const { return window_; }
  std::vector<View*> Views() const;
  View* ActiveView() const;
  void SetActiveView(View* view) { activeView_ = view; }
  Document* GetDocument() const;
  // OnDestroy of the frame and its views, then the window goes from the event loop.
  void Destroy();
  bool IsDestroyed() const { return destroyed_; }

  // The child frame holding the widget, if any.
  static ChildFrame* Of(const QWidget* widget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class MdiFrame;
  void MovePane(int step);
  QPointer<QMdiSubWindow> window_;
  QPointer<View> activeView_;
  bool destroyed_ = false;
};

}  // namespace platform::ui
