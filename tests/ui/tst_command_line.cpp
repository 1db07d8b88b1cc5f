// loggrevy's command line: what it answers by itself, and the files it hands
// the main window, against what a drop of the same names imports.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <sstream>

#include "ui/command_line.h"
#include "ui/qtext.h"
#include "ui_test_support.h"

using namespace loggrevy;
using namespace loggrevy::test;

Q_DECLARE_METATYPE(std::optional<int>)

namespace {

struct TParse {
  std::optional<int> Status;
  TCommandLine Line;
  QString Out;
  QString Err;
};

TParse Parse(const QStringList& arguments) {
  TParse parse;
  std::ostringstream out;
  std::ostringstream err;
  parse.Status = ParseCommandLine(QStringList{QStringLiteral("loggrevy")} + arguments, parse.Line, out, err);
  parse.Out = QString::fromStdString(out.str());
  parse.Err = QString::fromStdString(err.str());
  return parse;
}

}  // namespace

class TestCommandLine : public QObject {
  Q_OBJECT

 private slots:
  void answers_data();
  void answers();
  void folderIsLeftOutAsFromADrop();
};

void TestCommandLine::answers_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<std::optional<int>>("status");
  QTest::addColumn<QString>("outStart");
  QTest::addColumn<QString>("err");
  QTest::newRow("help") << QStringList{QStringLiteral("--help")} << std::optional<int>(0)
                        << QStringLiteral("Usage: loggrevy [FILE...]\n") << QString();
  QTest::newRow("short help after a file") << QStringList{QStringLiteral("a.edi"), QStringLiteral("-h")}
                                           << std::optional<int>(0) << QStringLiteral("Usage: ") << QString();
  QTest::newRow("version") << QStringList{QStringLiteral("--version")} << std::optional<int>(0)
                           << QStringLiteral("loggrevy 1.7.0\n") << QString();
  QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus"), QStringLiteral("a.edi")}
                                  << std::optional<int>(2) << QString()
                                  << QStringLiteral("loggrevy: Unknown option 'bogus'. (try --help)\n");
  // The toolkit's own options are left to QApplication.
  QTest::newRow("toolkit options") << QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen"),
                                                  QStringLiteral("-reverse"), QStringLiteral("a.edi")}
                                   << std::optional<int>() << QString() << QString();
  QTest::newRow("file named like an option")
      << QStringList{QStringLiteral("--"), QStringLiteral("--help")} << std::optional<int>() << QString() << QString();
}

void TestCommandLine::answers() {
  QFETCH(QStringList, arguments);
  QFETCH(std::optional<int>, status);
  QFETCH(QString, outStart);
  QFETCH(QString, err);
  const TParse parse = Parse(arguments);
  QCOMPARE(parse.Status, status);
  QVERIFY2(parse.Out.startsWith(outStart), qPrintable(parse.Out));
  if (outStart.isEmpty()) QCOMPARE(parse.Out, QString());
  QCOMPARE(parse.Err, err);
  if (!status) QCOMPARE(parse.Line.Files, QStringList{arguments.last()});
}

void TestCommandLine::folderIsLeftOutAsFromADrop() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString folder = dir.filePath(QStringLiteral("folder.edi"));
  QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.edi")));
  const QString file = DataPath("sm6xyz-144.edi");

  const TParse parse = Parse({folder, file, folder});
  QCOMPARE(parse.Status, std::optional<int>());
  QCOMPARE(parse.Line.Files, QStringList{file});
  const QString note = QStringLiteral("loggrevy: skipping folder ") + folder + QLatin1Char('\n');
  QCOMPARE(parse.Err, note + note);

  const auto started = MakeMainWindow();
  started->ImportFiles(parse.Line.Files);

  const auto dropped = MakeMainWindow();
  dropped->show();
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(folder), QUrl::fromLocalFile(file), QUrl::fromLocalFile(folder)});
  const QPoint at(300, 200);
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(dropped.get(), &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(dropped.get(), &drop);

  QCOMPARE(OutlineLines(started->Outline()), (QStringList{"20060105 : VHF", "  SM6XYZ"}));
  QCOMPARE(OutlineLines(dropped->Outline()), OutlineLines(started->Outline()));
}

QTEST_MAIN(TestCommandLine)
#include "tst_command_line.moc"
