#pragma once
// The frame under test: a QApplication on the offscreen platform with the
// programs' translations, scripted common dialogs, and message boxes and input
// boxes answered and recorded.

#include <gtest/gtest.h>

#include <QApplication>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>

#include "platform/gbk_qt.h"
#include "platform/input_box.h"
#include "platform/message_box.h"
#include "platform/translations.h"
#include "../common/test_application.h"
#include "test_files.h"
#include "workbench/gui/frm_main.h"

class TScriptedDialogs : public TFileDialogs {
 public:
  std::deque<QString> Answers;  // empty answers cancel
  QString Next() {
    if (Answers.empty()) return {};
    QString answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  QString OpenSource(QWidget*) override { return Next(); }
  QString SaveSource(QWidget*) override { return Next(); }
  QString OpenProject(QWidget*) override { return Next(); }
  QString SaveProject(QWidget*) override { return Next(); }
  QString SaveInfo(QWidget*) override { return Next(); }
  QString AddProjectSource(QWidget*) override { return Next(); }
  // What the page setup and print dialogs do to the printer; unset cancels.
  std::function<bool(QPrinter&)> PageSetupAnswer;
  std::function<bool(QPrinter&)> PrintAnswer;
  bool SetUpPage(QWidget*, QPrinter& printer) override { return PageSetupAnswer && PageSetupAnswer(printer); }
  bool ChoosePrinter(QWidget*, QPrinter& printer) override { return PrintAnswer && PrintAnswer(printer); }
};

inline QApplication* TestApplication() {
  static char name[] = "workbench_tests";
  static QApplication* app = [] {
    QApplication* created = NewTestApplication(name);
    InstallChineseTranslations(*created);
    return created;
  }();
  return app;
}

class TFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    auto dialogs = std::make_unique<TScriptedDialogs>();
    Dialogs = dialogs.get();
    Frame = std::make_unique<TFrmMain>(std::move(dialogs));
    SetMessageBoxHandler([this](const QString& text, int flags) {
      Boxes << text;
      BoxFlags.push_back(flags);
      if (BoxAnswers.empty()) return BoxAnswer;
      const int answer = BoxAnswers.front();
      BoxAnswers.pop_front();
      return answer;
    });
    SetInputBoxHandler([this](const std::string&, const std::string&, std::string& value) {
      if (!InputAnswer) return false;
      value = QStringToGbk(*InputAnswer).value();
      return true;
    });
  }
  void TearDown() override {
    for (TFrmCode* editor : Frame->Editors()) editor->Memo->document()->setModified(false);
    Frame.reset();
    SetMessageBoxHandler(nullptr);
    SetInputBoxHandler(nullptr);
  }
  // An editor on the file, with `text` typed over all it held.
  TFrmCode* OpenAndType(const std::string& path, const QString& text) {
    Dialogs->Answers = {Q(path)};
    Frame->MnuOpenClick();
    TFrmCode* editor = Frame->ActiveEditor();
    // Thrown, not asserted: it ends the test from inside a case's lambda too, before
    // any caller uses the editor.
    if (editor == nullptr)
      throw std::runtime_error("no editor opened " + path + ": " + Boxes.join('\n').toStdString());
    editor->Memo->selectAll();
    editor->Memo->insertPlainText(text);
    return editor;
  }
  QString Status() const { return Frame->StatusPanels[0]->text(); }
  QString Pane() const { return Frame->MemoSys->toPlainText(); }
  static QString Q(const std::string& path) { return QString::fromStdString(path); }
  // The box of a save that did not take place.
  static QString NotSaved(const std::string& path, const QString& reason) {
    return QStringLiteral("文件未能保存：") + Q(path) + QStringLiteral("\n原因：") + reason +
           QStringLiteral("\n磁盘上的文件未被改动。");
  }

  TScratchFolder Dir;
  TScriptedDialogs* Dialogs = nullptr;
  std::unique_ptr<TFrmMain> Frame;
  QStringList Boxes;
  std::vector<int> BoxFlags;
  int BoxAnswer = kIdOk;
  std::deque<int> BoxAnswers;  // answered first, one per box; then BoxAnswer
  std::optional<QString> InputAnswer;
};
