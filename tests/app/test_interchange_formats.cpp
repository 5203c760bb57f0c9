// Every interchange format of the table reaches the operator twice: as an item of the list's
// context menu that writes a file the import reads back, and as an option of the converter
// that its --help and its man page describe.
#include "box_answers.h"
#include "format_options.h"
#include "formats/list_export.h"
#include "list_window.h"
#include "platform/ui_language.h"

#include <QMenu>
#include <QSet>

class TestInterchangeFormats : public QObject {
    Q_OBJECT
private slots:
    void eachFormatIsReachable_data() {
        QTest::addColumn<int>("row"); // in the table
        for (int i = 0; i < int(InterchangeFormats().size()); ++i)
            QTest::addRow("%s", InterchangeFormats()[i].option) << i;
    }

    // From the list's context menu: a save dialog that names the format and proposes its
    // name, a file written that the import takes as that format.
    void eachFormatIsReachable() {
        QFETCH(int, row);
        const InterchangeFormat& format = InterchangeFormats()[row];
        ListWindow w;
        BoxAnswers answers;
        LayRow(w.dlg->GetSession().List(), 1, "0001", "01:00:00:00", "01:00:10:00", " CM", true);
        w.dlg->GetSession().ListFile().SetPath(w.folder.path("reel.txt"));
        QAction* item = nullptr;
        for (QAction* a : w.dlg->ContextMenu()->actions()) {
            if (a->text() == QString::fromUtf8(format.menuText))
                item = a;
        }
        QVERIFY(item);
        QCOMPARE(item, w.dlg->MenuItem(format.commandId));
        const QString chosen = w.folder.path("out");
        answers.files = {chosen};
        item->trigger();
        QCOMPARE(answers.dialogs.size(), 1);
        const FileDialogRequest& asked = answers.dialogs.first();
        QCOMPARE(asked.title + QStringLiteral("..."), item->text());
        QCOMPARE(asked.proposedName,
                 QStringLiteral("reel") + format.nameSuffix + '.' + format.extension);
        QVERIFY(asked.filter.startsWith(ExportFilter(format)));
        QCOMPARE(answers.messages, QStringList());
        const ImportedList back =
            ImportListFile(chosen + '.' + format.extension, w.dlg->GetSession().List().Rate());
        QVERIFY2(back.read, qPrintable(back.error));
        QCOMPARE(back.format, format.readsAs);
        QCOMPARE(back.rows.value(0).in, QStringLiteral("01:00:00:00"));
        QVERIFY(ImportFilter().contains(QStringLiteral("*.") + format.extension));

        // From the converter: its option chooses it alone, its help and its man page name it.
        const QString option = QStringLiteral("--") + format.option;
        QCommandLineParser parser;
        AddFormatOptions(parser);
        QVERIFY(parser.parse({QStringLiteral("tarnwick-export"), option, "a.txt"}));
        QCOMPARE(FormatsGiven(parser), QVector<const InterchangeFormat*>{&format});
        QVERIFY(ConverterHelp().contains(QStringLiteral("\n  ") + option + ' '));
        QVERIFY(FormatChoiceError().contains(option));
        const QString manOption = QString(option).replace('-', QStringLiteral("\\-"));
        QVERIFY2(QString::fromUtf8(FileBytes(EXPORT_MAN_PAGE)).contains("\n.B " + manOption + '\n'),
                 qPrintable(manOption));
    }

    // No two formats share a command, an option or the file proposed for them (two may share
    // an extension: the name tells them apart); the help fits its terminal in either language.
    void formatsAreTellableApart() {
        QSet<int> ids;
        QSet<QString> options, names;
        for (const InterchangeFormat& format : InterchangeFormats()) {
            ids.insert(format.commandId);
            options.insert(QLatin1String(format.option));
            names.insert(ExportFileName(QStringLiteral("spots.txt"), format));
        }
        const qsizetype count = qsizetype(InterchangeFormats().size());
        QCOMPARE(ids.size(), count);
        QCOMPARE(options.size(), count);
        QCOMPARE(names.size(), count);
        for (const UiLanguage language : {UiLanguage::English, UiLanguage::Japanese}) {
            QVERIFY(InstallUiLanguage(language));
            for (const QString& line : ConverterHelp().split('\n'))
                QVERIFY2(TerminalWidth(line) <= 92, qPrintable(line));
        }
    }
};

QTEST_MAIN(TestInterchangeFormats)
#include "test_interchange_formats.moc"
