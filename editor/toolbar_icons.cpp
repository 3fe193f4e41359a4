#include "editor/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>
#include <tuple>

#include "editor/kelvar_commands.h"
#include "platform/ui/command_ids.h"

namespace kelvar {
namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 15;

const QColor kInk(32, 32, 32);
const QColor kBlockTop(200, 170, 120);
const QColor kBlockSide(150, 110, 60);
const QColor kAction(220, 120, 20);
const QColor kRemove(200, 30, 30);
const QColor kAdd(30, 150, 40);
const QColor kCamera(40, 90, 170);

// A small block seen from above and the side, its top-left corner at (x, y).
void Block(QPainter& p, int x, int y, int size = 8) {
  p.setPen(kInk);
  p.setBrush(kBlockSide);
  p.drawRect(x, y + size / 2, size, size / 2);
  p.setBrush(kBlockTop);
  p.drawPolygon(QPolygon({QPoint(x, y + size / 2), QPoint(x + 2, y), QPoint(x + size + 2, y),
                          QPoint(x + size, y + size / 2)}));
}

void Arrow(QPainter& p, QPoint from, QPoint to, QColor colour) {
  p.setPen(QPen(colour, 1.6));
  p.drawLine(from, to);
  QLineF line(to, from);
  QLineF a = line;
  a.setLength(3.5);
  a.setAngle(line.angle() + 35);
  QLineF b = line;
  b.setLength(3.5);
  b.setAngle(line.angle() - 35);
  p.drawLine(a);
  p.drawLine(b);
}

void FourArrows(QPainter& p, QColor colour, int cx = 8, int cy = 7, int r = 6) {
  Arrow(p, QPoint(cx, cy), QPoint(cx - r, cy), colour);
  Arrow(p, QPoint(cx, cy), QPoint(cx + r, cy), colour);
  Arrow(p, QPoint(cx, cy), QPoint(cx, cy - r), colour);
  Arrow(p, QPoint(cx, cy), QPoint(cx, cy + r), colour);
}

void TurnArrow(QPainter& p, QRect box, QColor colour) {
  p.setPen(QPen(colour, 1.6));
  p.setBrush(Qt::NoBrush);
  p.drawArc(box, 30 * 16, 280 * 16);
  const QPoint tip(box.right(), box.center().y() - box.height() / 4);
  p.drawLine(tip, tip + QPoint(-3, -1));
  p.drawLine(tip, tip + QPoint(0, 3));
}

void Cross(QPainter& p, QRect box, QColor colour) {
  p.setPen(QPen(colour, 2.0));
  p.drawLine(box.topLeft(), box.bottomRight());
  p.drawLine(box.topRight(), box.bottomLeft());
}

void Plus(QPainter& p, QPoint c, QColor colour) {
  p.setPen(QPen(colour, 2.0));
  p.drawLine(c + QPoint(-3, 0), c + QPoint(3, 0));
  p.drawLine(c + QPoint(0, -3), c + QPoint(0, 3));
}

void CameraGlyph(QPainter& p, int x, int y) {
  p.setPen(kInk);
  p.setBrush(kCamera);
  p.drawRect(x, y + 1, 6, 4);
  p.drawPolygon(QPolygon({QPoint(x + 6, y + 3), QPoint(x + 9, y + 1), QPoint(x + 9, y + 5)}));
}

void Figure(QPainter& p, int x, int y, QColor colour) {
  p.setPen(kInk);
  p.setBrush(colour);
  p.drawEllipse(x + 2, y, 4, 4);
  p.drawRect(x + 1, y + 5, 6, 5);
  p.drawLine(x + 2, y + 10, x + 2, y + 13);
  p.drawLine(x + 6, y + 10, x + 6, y + 13);
}

void Grid(QPainter& p, QColor fill, bool half) {
  p.setPen(kInk);
  p.setBrush(Qt::white);
  p.drawRect(1, 1, 13, 12);
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  if (half) p.drawRect(2, 7, 12, 6);
  else if (fill != Qt::white) p.drawRect(2, 2, 12, 11);
  p.setPen(QColor(90, 90, 90));
  for (int x = 5; x < 14; x += 4) p.drawLine(x, 2, x, 12);
  for (int y = 5; y < 13; y += 4) p.drawLine(2, y, 13, y);
}

void Rings(QPainter& p) {
  p.setPen(QPen(QColor(60, 60, 140), 1.6));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(1, 4, 7, 5);
  p.drawEllipse(6, 4, 7, 5);
}

void Draw(QPainter& p, int id) {
  namespace ui = platform::ui;
  switch (id) {
    case ui::kCmdFileNew:
      p.setPen(kInk);
      p.setBrush(Qt::white);
      p.drawPolygon(QPolygon({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(3, 14)}));
      p.drawLine(10, 1, 10, 4);
      p.drawLine(10, 4, 13, 4);
      break;
    case ui::kCmdFileOpen:
      p.setPen(kInk);
      p.setBrush(QColor(230, 190, 60));
      p.drawRect(1, 4, 12, 9);
      p.drawRect(1, 2, 5, 2);
      p.setBrush(QColor(250, 220, 110));
      p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
      break;
    case ui::kCmdFileSave:
      p.setPen(kInk);
      p.setBrush(QColor(50, 80, 160));
      p.drawRect(1, 1, 13, 13);
      p.setBrush(Qt::white);
      p.drawRect(4, 1, 7, 5);
      p.setBrush(QColor(190, 190, 190));
      p.drawRect(3, 9, 9, 5);
      break;
    case ui::kCmdAppAbout: {
      p.setPen(kInk);
      p.setBrush(QColor(60, 120, 210));
      p.drawEllipse(1, 0, 13, 13);
      QFont f = p.font();
      f.setPixelSize(11);
      f.setBold(true);
      p.setFont(f);
      p.setPen(Qt::white);
      p.drawText(QRect(1, 0, 14, 14), Qt::AlignCenter, "?");
      break;
    }
    case kCmdHierarchyView:
      p.setPen(kInk);
      p.drawLine(4, 4, 11, 4);
      p.drawLine(4, 4, 8, 11);
      p.setBrush(QColor(240, 200, 80));
      p.drawRect(1, 2, 5, 4);
      p.setBrush(QColor(120, 200, 120));
      p.drawRect(10, 2, 5, 4);
      p.setBrush(QColor(120, 160, 230));
      p.drawRect(6, 9, 5, 4);
      break;
    case kCmdEditView:
      Block(p, 2, 2, 11);
      break;
    case kCmdCameraRotate:
      CameraGlyph(p, 0, 0);
      TurnArrow(p, QRect(4, 4, 10, 9), kAction);
      break;
    case kCmdCameraTranslate:
      CameraGlyph(p, 0, 0);
      FourArrows(p, kAction, 10, 9, 5);
      break;
    case kCmdCameraZoom:
      p.setPen(QPen(kInk, 1.5));
      p.setBrush(QColor(200, 230, 250));
      p.drawEllipse(1, 1, 9, 9);
      p.setPen(QPen(kCamera, 2.5));
      p.drawLine(9, 9, 14, 13);
      break;
    case kCmdCameraElevate:
      CameraGlyph(p, 0, 5);
      Arrow(p, QPoint(12, 7), QPoint(12, 1), kAction);
      Arrow(p, QPoint(12, 7), QPoint(12, 13), kAction);
      break;
    case kCmdBlockMove:
      Block(p, 0, 5);
      Arrow(p, QPoint(9, 4), QPoint(15, 4), kAction);
      break;
    case kCmdBlockSet:
      Block(p, 0, 5);
      Plus(p, QPoint(12, 4), kAdd);
      break;
    case kCmdBlockPick:
      Block(p, 0, 5);
      p.setPen(kInk);
      p.setBrush(Qt::white);
      p.drawPolygon(QPolygon({QPoint(9, 0), QPoint(9, 9), QPoint(11, 7), QPoint(13, 10), QPoint(14, 9),
                              QPoint(12, 6), QPoint(15, 6)}));
      break;
    case kCmdBlockDelete:
      Block(p, 0, 5);
      Cross(p, QRect(9, 1, 5, 5), kRemove);
      break;
    case kCmdBlockCopy:
      Block(p, 0, 5);
      Block(p, 5, 0);
      break;
    case kCmdBlockRotate:
      Block(p, 0, 5);
      TurnArrow(p, QRect(8, 0, 7, 7), kAction);
      break;
    case kCmdBlockChoose:
      Block(p, 3, 1);
      p.setPen(kInk);
      p.setBrush(kInk);
      for (int x = 3; x <= 11; x += 4) p.drawRect(x, 12, 1, 1);
      break;
    case kCmdDraw:
      p.setPen(kInk);
      p.setBrush(QColor(240, 200, 60));
      p.drawPolygon(QPolygon({QPoint(2, 13), QPoint(3, 10), QPoint(11, 2), QPoint(13, 4), QPoint(5, 12)}));
      p.setBrush(kInk);
      p.drawPolygon(QPolygon({QPoint(2, 13), QPoint(3, 10), QPoint(5, 12)}));
      break;
    case kCmdStyle:
      p.setPen(kInk);
      p.setBrush(QColor(230, 210, 170));
      p.drawEllipse(1, 1, 14, 12);
      p.setPen(Qt::NoPen);
      for (auto [x, y, c] : {std::tuple{4, 4, QColor(200, 40, 40)}, std::tuple{8, 3, QColor(40, 150, 40)},
                             std::tuple{11, 6, QColor(40, 80, 200)}, std::tuple{5, 8, QColor(240, 200, 30)}}) {
        p.setBrush(c);
        p.drawEllipse(x, y, 3, 3);
      }
      break;
    case kCmdEditMove:
      FourArrows(p, kAction);
      break;
    case kCmdEditRotate:
      TurnArrow(p, QRect(2, 1, 12, 12), kAction);
      break;
    case kCmdEditDelete:
      Cross(p, QRect(3, 2, 10, 10), kRemove);
      break;
    case kCmdRoomMonsterAdd:
      Figure(p, 0, 1, QColor(170, 60, 60));
      Plus(p, QPoint(12, 4), kAdd);
      break;
    case kCmdTrapAddGeneric:
      p.setPen(kInk);
      p.setBrush(QColor(150, 150, 160));
      p.drawPolygon(QPolygon({QPoint(0, 13), QPoint(2, 6), QPoint(4, 13), QPoint(6, 6), QPoint(8, 13), QPoint(10, 6),
                              QPoint(12, 13)}));
      Plus(p, QPoint(12, 4), kAdd);
      break;
    case kCmdMapMoveInstance:
      p.setPen(kInk);
      p.setBrush(QColor(240, 200, 80));
      p.drawRect(1, 1, 7, 5);
      Arrow(p, QPoint(6, 8), QPoint(14, 13), kAction);
      break;
    case kCmdMapSelect:
      p.setPen(QPen(kInk, 1, Qt::DashLine));
      p.setBrush(Qt::NoBrush);
      p.drawRect(1, 1, 13, 12);
      break;
    case kCmdMapMoveView:
      p.setPen(kInk);
      p.setBrush(QColor(220, 220, 220));
      p.drawRect(0, 0, 15, 14);
      FourArrows(p, kCamera);
      break;
    case kCmdCollisionSet:
      Grid(p, QColor(220, 60, 60), false);
      break;
    case kCmdCollisionSetLow:
      Grid(p, QColor(240, 170, 40), true);
      break;
    case kCmdCollisionClear:
      Grid(p, Qt::white, false);
      break;
    case kCmdLinkAdd:
      Rings(p);
      Plus(p, QPoint(12, 11), kAdd);
      break;
    case kCmdLinkDelete:
      Rings(p);
      Cross(p, QRect(10, 9, 5, 5), kRemove);
      break;
    default:
      break;
  }
}

}  // namespace

QIcon ToolbarIcon(int commandId) {
  QPixmap pixmap(kWidth, kHeight);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    Draw(painter, commandId);
  }
  return QIcon(pixmap);
}

QIcon AppIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  {
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(QColor(70, 110, 170));
    p.drawRoundedRect(1, 1, 30, 30, 6, 6);
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(5, 6, 9, 7);
    p.setBrush(QColor(120, 200, 120));
    p.drawRect(18, 6, 9, 7);
    p.setBrush(QColor(230, 120, 100));
    p.drawRect(11, 20, 10, 7);
    p.drawLine(10, 13, 15, 20);
    p.drawLine(22, 13, 17, 20);
  }
  return QIcon(pixmap);
}

}  // namespace kelvar
