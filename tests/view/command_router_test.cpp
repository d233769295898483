// The command router: buttons, menu actions and shortcuts reach the handler
// of their id; the command-state query holds a command back; an exception
// that leaves a handler is shown with its file and reason and the program
// goes on; and the view's printing commands, into PDF files.
#include <QAction>
#include <QFile>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTest>

#include <stdexcept>

#include "FileError.h"
#include "FramePacer.h"
#include "ViewTimers.h"
#include "ViewHarness.h"

namespace drelin::testing {
namespace {

// Makes `window` the active window, which shortcuts need.
void Activate(QWidget& window) {
  window.activateWindow();
  RunUntil([&window] { return QGuiApplication::focusWindow() == window.windowHandle(); });
}

TEST(CommandRouter, EveryWayInReachesTheHandlerOfItsIdUnlessHeldBack) {
  CommandRouter router;
  std::vector<int> ran;
  for (const int id : {1, 2, 3}) router.Add(id, [&ran, id] { ran.push_back(id); });
  QWidget window;
  auto* button = new QPushButton(&window);
  router.Bind(button, 1);
  QAction action;
  router.Bind(&action, 2);
  router.AddShortcut(QKeySequence(Qt::Key_F5), 3, &window);
  window.show();
  Activate(window);
  button->click();
  action.trigger();
  QTest::keyClick(&window, Qt::Key_F5);
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));

  bool enabled = false;
  router.SetEnabledQuery(1, [&enabled] { return enabled; });
  EXPECT_FALSE(router.Dispatch(1));
  EXPECT_FALSE(router.Dispatch(99));
  enabled = true;
  EXPECT_TRUE(router.Dispatch(1));
  router.Add(1, [&ran] { ran.push_back(10); });  // a new handler replaces the old
  router.Dispatch(1);
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 1, 10}));
}

TEST(CommandRouter, AnExceptionIsShownWithItsFileAndReasonAndEndsOnlyTheCommand) {
  CommandRouter router;
  router.Add(1, [] { throw FileError("move", "/out/Rep_1_a.dbf", EACCES); });
  router.Add(2, [] { throw std::runtime_error("the printer did not start"); });
  router.Add(3, [] { throw 42; });
  router.Add(4, [] { throw FileError("open", "/in/<b>x.dbf", ENOENT); });  // data is never taken for markup
  ScopedMessageBoxAnswers answers({1, 1, 1, 1}, FailTest);
  std::vector<QString> texts;
  for (const int id : {1, 2, 3, 4}) EXPECT_TRUE(router.Dispatch(id));
  for (const ShownMessageBox& shown : answers.shown()) {
    texts.push_back(shown.text);
    EXPECT_EQ(shown.caption, "Tarnova Drelin DBF");
    EXPECT_EQ(shown.style, 0x30u);
  }
  EXPECT_EQ(texts, (std::vector<QString>{"File: /out/Rep_1_a.dbf\nReason: Permission denied",
                                         "the printer did not start", "The command ended with an unknown error.",
                                         "File: /in/<<b>x.dbf\nReason: No such file or directory"}));
}

TEST(ViewTimers, AStartRestartsTheIdsOneTimerWithTheNewPeriod) {
  ViewTimers timers([](int) {});
  timers.StartTimer(61463, 1000);
  EXPECT_EQ(timers.StartTimer(61463, 500), 61463);
  EXPECT_EQ(timers.PeriodOf(61463), 500);
  timers.StopTimer(61463);
  EXPECT_FALSE(timers.IsRunning(61463));
}

TEST(FramePacer, PaintRequestsWaitForTheNextFrameWhilePaced) {
  struct Counted : QWidget {
    int paints = 0;
    void paintEvent(QPaintEvent*) override { ++paints; }
  } window;
  window.resize(50, 50);
  window.show();
  QApplication::processEvents();
  FramePacer pacer(1000000);  // no frame comes by itself during the test
  pacer.Start(&window);
  const int before = window.paints;
  window.update();
  QApplication::processEvents();
  EXPECT_EQ(window.paints, before);
  EXPECT_GE(pacer.held(), 1);
  pacer.Stop();  // the held request goes through
  EXPECT_GT(window.paints, before);
  window.update();
  QApplication::processEvents();
  EXPECT_FALSE(pacer.active());
}

using ViewCommandsTest = ViewHarness;

QByteArray Head(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.read(5) : QByteArray();
}

TEST_F(ViewCommandsTest, PrintingPutsTheViewOnAPageOfTheChosenPrinter) {
  const QString chosen = QString::fromStdString(saved / "chosen.pdf");
  {
    ScopedModalAnswers answers(
        [&chosen](QDialog& dialog) {
          EXPECT_EQ(dialog.objectName(), "Print");
          dialog.accept();  // takes the dialog's settings into the printer
          QPrinter* printer = static_cast<QPrintDialog&>(dialog).printer();
          printer->setOutputFormat(QPrinter::PdfFormat);
          printer->setOutputFileName(chosen);
          return int(QDialog::Accepted);
        },
        FailTest);
    Activate(*view);
    QTest::keyClick(view.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(answers.shown(), (std::vector<QString>{"Print"}));
  }
  EXPECT_EQ(Head(chosen), "%PDF-");
  EXPECT_GT(QFile(chosen).size(), 10000);  // the skin's pictures are in it

  // Direct print uses the printer as the last print left it.
  const QString direct = QString::fromStdString(saved / "direct.pdf");
  view->printer().setOutputFileName(direct);
  view->router().Dispatch(57608);
  EXPECT_EQ(Head(direct), "%PDF-");

  // The preview paints the same page.
  int pages = 0;
  {
    ScopedModalAnswers answers(
        [&pages](QDialog& dialog) {
          EXPECT_EQ(dialog.objectName(), "PrintPreview");
          auto* preview = dialog.findChild<QPrintPreviewWidget*>();
          preview->updatePreview();
          pages = preview->pageCount();
          dialog.reject();
          return int(QDialog::Rejected);
        },
        FailTest);
    view->router().Dispatch(57609);
  }
  EXPECT_EQ(pages, 1);

  // A printer that cannot start is told, and nothing ends.
  view->printer().setOutputFileName(QString::fromStdString(saved / "no-such-folder/x.pdf"));
  ScopedMessageBoxAnswers answers({1}, FailTest);
  view->router().Dispatch(57608);
  ASSERT_EQ(answers.shown().size(), 1u);
  EXPECT_EQ(answers.shown()[0].text, "The view could not be printed: the printer did not start.");
}

}  // namespace
}  // namespace drelin::testing
