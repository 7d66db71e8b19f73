// Answers the program's open dialog as a person would, once it is up: types a name, or cancels.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QString>
#include <QTimer>

#include <gtest/gtest.h>

namespace vardel::test {

// Checks how the dialog is set up, then types `file` in full and accepts; an empty `file`
// cancels.
inline void answerOpenDialog(const QString& file) {
  QTimer::singleShot(5, qApp, [file] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return answerOpenDialog(file);
    ASSERT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("mp* (*.mp*)")});
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    if (file.isEmpty()) return dialog->reject();
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(file);                      // typed in full
    static_cast<QDialog*>(dialog)->accept();  // as the dialog's own button does
  });
}

}  // namespace vardel::test
