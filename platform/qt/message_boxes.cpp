#include "platform/qt/message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace qnd::platform::qt {
namespace {

// The texts come from the program and are shown as they are, never read as markup.
void Prepare(QMessageBox& box, QMessageBox::Icon icon, const std::string& title,
             const std::string& text) {
  box.setIcon(icon);
  box.setWindowTitle(QString::fromStdString(title));
  box.setTextFormat(Qt::PlainText);
  box.setText(QString::fromStdString(text));
}

}  // namespace

void ShowErrorBox(QWidget* parent, const std::string& title, const std::string& text) {
  QMessageBox box(parent);
  Prepare(box, QMessageBox::Critical, title, text);
  // A button of our own rather than QMessageBox::Ok, whose caption would follow Qt's translation.
  QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.exec();
}

bool AskYesNo(QWidget* parent, const std::string& title, const std::string& text) {
  QMessageBox box(parent);
  Prepare(box, QMessageBox::Question, title, text);
  QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  // QMessageBox also answers with the escape button when the box is closed through its frame.
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

}  // namespace qnd::platform::qt
