#include "ui/review_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace loggrevy {

namespace {

const QString kFilter = QStringLiteral("Granskningar (*.loggrevy);;Alla filer (*)");
const QString kTitle = QStringLiteral("Loggrevy");

}  // namespace

QString TSystemReviewDialogs::ChooseReviewToOpen(QWidget* parent, const QString& folder) {
  return QFileDialog::getOpenFileName(parent, QStringLiteral("Öppna granskning"), folder, kFilter);
}

QString TSystemReviewDialogs::ChooseReviewToSave(QWidget* parent, const QString& suggested) {
  return QFileDialog::getSaveFileName(parent, QStringLiteral("Spara granskning som"), suggested, kFilter);
}

TSaveChangesAnswer TSystemReviewDialogs::AskSaveChanges(QWidget* parent) {
  QMessageBox box(QMessageBox::Question, kTitle, QStringLiteral("Spara ändringarna i granskningen?"),
                  QMessageBox::NoButton, parent);
  box.setObjectName(QStringLiteral("dlgSaveChanges"));
  QPushButton* save = box.addButton(QStringLiteral("Spara"), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(QStringLiteral("Stäng utan att spara"), QMessageBox::DestructiveRole);
  QPushButton* cancel = box.addButton(QStringLiteral("Avbryt"), QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == save) return TSaveChangesAnswer::Save;
  if (box.clickedButton() == discard) return TSaveChangesAnswer::Discard;
  return TSaveChangesAnswer::Cancel;
}

TAddOrReplaceAnswer TSystemReviewDialogs::AskAddOrReplace(QWidget* parent) {
  QMessageBox box(QMessageBox::Question, kTitle,
                  QStringLiteral("Det finns redan importerade loggar. Ska granskningens loggar läggas till dem "
                                 "eller ersätta dem?"),
                  QMessageBox::NoButton, parent);
  box.setObjectName(QStringLiteral("dlgAddOrReplace"));
  QPushButton* add = box.addButton(QStringLiteral("Lägg till"), QMessageBox::AcceptRole);
  QPushButton* replace = box.addButton(QStringLiteral("Ersätt"), QMessageBox::DestructiveRole);
  QPushButton* cancel = box.addButton(QStringLiteral("Avbryt"), QMessageBox::RejectRole);
  box.setDefaultButton(add);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == add) return TAddOrReplaceAnswer::Add;
  if (box.clickedButton() == replace) return TAddOrReplaceAnswer::Replace;
  return TAddOrReplaceAnswer::Cancel;
}

bool TSystemReviewDialogs::AskRestore(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::NoButton, parent);
  box.setObjectName(QStringLiteral("dlgRestore"));
  QPushButton* restore = box.addButton(QStringLiteral("Återställ"), QMessageBox::AcceptRole);
  box.addButton(QStringLiteral("Släng"), QMessageBox::DestructiveRole);
  box.setDefaultButton(restore);
  box.exec();
  return box.clickedButton() == restore;
}

bool TSystemReviewDialogs::AskReadOnly(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::NoButton, parent);
  box.setObjectName(QStringLiteral("dlgReadOnly"));
  QPushButton* readOnly = box.addButton(QStringLiteral("Öppna skrivskyddad"), QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton(QStringLiteral("Avbryt"), QMessageBox::RejectRole);
  box.setEscapeButton(cancel);
  box.exec();
  return box.clickedButton() == readOnly;
}

void TSystemReviewDialogs::ShowMessage(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::warning(parent, title, text);
}

}  // namespace loggrevy
