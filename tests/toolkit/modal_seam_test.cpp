// The modal seam: answered dialogs are never shown, chooser answers are taken
// in order, every mistake of a test is a loud failure, and driven dialogs and
// choosers are live.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "ModalSeam.h"

namespace drelin {
namespace {

void FailTest(const QString& message) { ADD_FAILURE() << message.toStdString(); }

class NamedDialog : public QDialog {
 public:
  explicit NamedDialog(const QString& name) {
    setObjectName(name);
    setWindowTitle(name + " title");
  }
};

TEST(ModalSeam, AnswersTakeEachNamedDialogWithoutShowingIt) {
  NamedDialog mode("RepairMode"), settings("Settings");
  std::vector<bool> visible;
  const ScopedModalAnswers answers(
      [&visible](QDialog& dialog) {
        visible.push_back(dialog.isVisible());
        if (dialog.objectName() == "Settings") {
          dialog.reject();
          return 7;  // whatever the function returns is the result
        }
        dialog.accept();
        return int(QDialog::Accepted);
      },
      FailTest);
  EXPECT_EQ(ExecModal(mode), QDialog::Accepted);
  EXPECT_EQ(mode.result(), QDialog::Accepted);
  EXPECT_EQ(ExecModal(settings), 7);
  EXPECT_EQ(settings.result(), QDialog::Rejected);
  EXPECT_EQ(answers.shown(), (std::vector<QString>{"RepairMode", "Settings"}));
  EXPECT_EQ(visible, (std::vector<bool>{false, false}));
}

TEST(ModalSeam, ChoosersTakeTheQueuedAnswersInOrder) {
  ScopedModalAnswers answers({}, FailTest);
  const std::string odd = "/b/\xff\xfe.dbf";  // not UTF-8: bytes pass unchanged
  answers.QueueFiles({"/a/x.dbf", odd});
  answers.QueueFolder("/out");
  answers.QueueFiles({});  // cancelled
  EXPECT_EQ(ChooseOpenFiles(nullptr, "Open", "*.dbf"), (std::vector<std::string>{"/a/x.dbf", odd}));
  EXPECT_EQ(ChooseFolder(nullptr, "Save"), "/out");
  EXPECT_TRUE(ChooseOpenFiles(nullptr, "Open", "*.dbf").empty());
  EXPECT_EQ(answers.pending(), 0u);
  EXPECT_EQ(answers.shown(), (std::vector<QString>{"OpenFiles", "Folder", "OpenFiles"}));
}

TEST(ModalSeam, TestMistakesFailLoudlyAndEndWithNothing) {
  struct Case {
    const char* what;
    bool answerFunction;  // never called: choosers take only queued answers
    std::function<void(ScopedModalAnswers&)> run;
    QString failure;
  };
  const std::vector<Case> cases = {
      {"dialog without an answer function", false,
       [](ScopedModalAnswers&) {
         NamedDialog about("About");
         EXPECT_EQ(ExecModal(about), QDialog::Rejected);
       },
       "No answer for the modal dialog \"About\" (title \"About title\")"},
      {"dialog without a name", true,
       [](ScopedModalAnswers&) {
         QDialog nameless;
         EXPECT_EQ(ExecModal(nameless), QDialog::Rejected);
       },
       "has no objectName"},
      {"folder chooser with an empty queue", true,
       [](ScopedModalAnswers&) { EXPECT_EQ(ChooseFolder(nullptr, "Save"), ""); },
       "No answer queued for the chooser \"Folder\""},
      {"files chooser meeting a folder answer", true,
       [](ScopedModalAnswers& answers) {
         answers.QueueFolder("/out");
         EXPECT_TRUE(ChooseOpenFiles(nullptr, "Open", "*.dbf").empty());
         EXPECT_EQ(answers.pending(), 0u);
       },
       "The chooser \"OpenFiles\" met an answer queued for the other chooser"},
  };
  for (const Case& c : cases) {
    std::vector<QString> failures;
    bool answered = false;
    std::function<int(QDialog&)> answer;
    if (c.answerFunction) {
      answer = [&answered](QDialog&) {
        answered = true;
        return 1;
      };
    }
    ScopedModalAnswers answers(answer, [&failures](const QString& message) { failures.push_back(message); });
    c.run(answers);
    ASSERT_EQ(failures.size(), 1u) << c.what;
    EXPECT_TRUE(failures[0].contains(c.failure)) << c.what << ": " << failures[0].toStdString();
    EXPECT_FALSE(answered) << c.what;
  }
}

TEST(ModalSeam, DriverActsOnTheLiveDialog) {
  NamedDialog preview("FilePreview");
  auto* ok = new QPushButton("OK", &preview);
  QObject::connect(ok, &QPushButton::clicked, &preview, &QDialog::accept);
  bool wasVisible = false;
  const ScopedModalDriver driver(
      [&](QDialog& dialog) {
        wasVisible = dialog.isVisible();
        QTest::mouseClick(ok, Qt::LeftButton);
      },
      FailTest);
  EXPECT_EQ(ExecModal(preview), QDialog::Accepted);
  EXPECT_TRUE(wasVisible);
  EXPECT_EQ(driver.shown(), std::vector<QString>{"FilePreview"});
}

TEST(ModalSeam, DriverThatLeavesTheDialogOpenFailsInsteadOfHanging) {
  std::vector<QString> failures;
  NamedDialog print("Print");
  const ScopedModalDriver driver([](QDialog&) {},
                                 [&failures](const QString& message) { failures.push_back(message); });
  EXPECT_EQ(ExecModal(print), QDialog::Rejected);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_TRUE(failures[0].contains("The driver left the modal dialog \"Print\"")) << failures[0].toStdString();
}

TEST(ModalSeam, DrivenChoosersAreFileDialogsGivingRawPaths) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString table = QDir(folder.path()).filePath("orders.dbf");
  QFile file(table);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  ASSERT_TRUE(QDir(folder.path()).mkdir("out"));
  const ScopedModalDriver driver(
      [&](QDialog& dialog) {
        auto& chooser = dynamic_cast<QFileDialog&>(dialog);
        chooser.setDirectory(folder.path());
        // Typed into the name field, which has the focus, as a user would.
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        EXPECT_EQ(QApplication::focusWidget(), name);
        if (dialog.objectName() == "OpenFiles") {
          EXPECT_EQ(chooser.fileMode(), QFileDialog::ExistingFiles);
          EXPECT_EQ(chooser.nameFilters(), QStringList{"Tables (*.[dD][bB][fF])"});
          name->setText("orders.dbf");
        } else {
          EXPECT_EQ(chooser.fileMode(), QFileDialog::Directory);
          EXPECT_EQ(dialog.windowTitle(), "Pick a folder");
          name->setText("out");
        }
        dialog.accept();  // QFileDialog::accept checks the files, through the virtual call
      },
      FailTest);
  EXPECT_EQ(ChooseOpenFiles(nullptr, "Open", "Tables (*.[dD][bB][fF])"),
            std::vector<std::string>{QFile::encodeName(table).toStdString()});
  EXPECT_EQ(ChooseFolder(nullptr, "Pick a folder"),
            QFile::encodeName(QDir(folder.path()).filePath("out")).toStdString());
  EXPECT_EQ(driver.shown(), (std::vector<QString>{"OpenFiles", "Folder"}));
}

}  // namespace
}  // namespace drelin
