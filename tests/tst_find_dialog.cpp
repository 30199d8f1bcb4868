#include "platform/viewer/find_dialog.h"
#include "support/web_test_main.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QWebEngineView>

#include <memory>

// "chat" appears four times, once in capitals and once inside a link, which find also searches.
static const char* const page = "<html><body><p>Le chat dort.</p><p>Un CHAT noir.</p>"
                                "<p>chat, <a href='#x'>chat</a></p></body></html>";

class TestFindDialog : public QObject {
    Q_OBJECT
private:
    QWebEngineView* view = nullptr;
    FindDialog* dialog = nullptr;

    QString typeAndWait(const QString& text)
    {
        QSignalSpy changed(dialog, &FindDialog::resultChanged);
        dialog->findChild<QLineEdit*>(QStringLiteral("findText"))->setText(text);
        if (!changed.wait(10000))
            return QStringLiteral("(pas de réponse)");
        return dialog->resultText();
    }
    QString clickAndWait(const char* button)
    {
        QSignalSpy changed(dialog, &FindDialog::resultChanged);
        dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        if (!changed.wait(10000))
            return QStringLiteral("(pas de réponse)");
        return dialog->resultText();
    }
    void setMatchCase(bool on)
    {
        QSignalSpy changed(dialog, &FindDialog::resultChanged);
        dialog->findChild<QCheckBox*>(QStringLiteral("matchCase"))->setChecked(on);
        QVERIFY(changed.wait(10000));
    }

    // Pixels of the page painted in the engine's match colours (yellow, or orange for the active
    // one).
    int highlightedPixels()
    {
        const QImage image = view->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.red() > 200 && c.green() > 120 && c.blue() < 80;
            }
        return count;
    }

private slots:
    void initTestCase()
    {
        view = new QWebEngineView;
        view->resize(640, 480);
        view->show();
        QSignalSpy loaded(view, &QWebEngineView::loadFinished);
        view->setHtml(QString::fromLatin1(page));
        QVERIFY(loaded.wait(20000));
        QVERIFY(loaded.first().first().toBool());
    }
    void init()
    {
        dialog = new FindDialog(view->page(), view);
        dialog->showFind();
    }
    void cleanup() { delete dialog; }
    void cleanupTestCase() { delete view; }

    void countsMatches()
    {
        QCOMPARE(typeAndWait(QStringLiteral("chat")), QStringLiteral("1 sur 4"));
        QCOMPARE(typeAndWait(QStringLiteral("noir")), QStringLiteral("1 sur 1"));
        QCOMPARE(typeAndWait(QStringLiteral("chien")), QStringLiteral("Aucun résultat"));
        QSignalSpy changed(dialog, &FindDialog::resultChanged);
        dialog->findChild<QLineEdit*>(QStringLiteral("findText"))->clear();
        QCOMPARE(dialog->resultText(), QString());
    }

    void nextAndPreviousMoveAndWrap()
    {
        QCOMPARE(typeAndWait(QStringLiteral("chat")), QStringLiteral("1 sur 4"));
        QCOMPARE(clickAndWait("findNext"), QStringLiteral("2 sur 4"));
        QCOMPARE(clickAndWait("findNext"), QStringLiteral("3 sur 4"));
        QCOMPARE(clickAndWait("findPrevious"), QStringLiteral("2 sur 4"));
        QCOMPARE(clickAndWait("findPrevious"), QStringLiteral("1 sur 4"));
        QCOMPARE(clickAndWait("findPrevious"), QStringLiteral("4 sur 4"));
    }

    void matchCaseChangesTheCount()
    {
        QCOMPARE(typeAndWait(QStringLiteral("chat")), QStringLiteral("1 sur 4"));
        setMatchCase(true);
        QVERIFY2(dialog->resultText().endsWith(QStringLiteral(" sur 3")),
                 qPrintable(dialog->resultText()));
        QCOMPARE(typeAndWait(QStringLiteral("CHAT")), QStringLiteral("1 sur 1"));
        setMatchCase(false);
        QVERIFY2(dialog->resultText().endsWith(QStringLiteral(" sur 4")),
                 qPrintable(dialog->resultText()));
    }

    void escapeClosesAndClearsTheHighlight()
    {
        QVERIFY(typeAndWait(QStringLiteral("chat")).endsWith(QStringLiteral(" sur 4")));
        QTRY_VERIFY_WITH_TIMEOUT(highlightedPixels() > 0, 10000);
        QTest::keyClick(dialog->findChild<QLineEdit*>(QStringLiteral("findText")), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(highlightedPixels(), 0, 10000);
    }

    void reopeningSearchesTheTextAgain()
    {
        QCOMPARE(typeAndWait(QStringLiteral("dort")), QStringLiteral("1 sur 1"));
        dialog->reject();
        QSignalSpy changed(dialog, &FindDialog::resultChanged);
        dialog->showFind();
        QVERIFY(changed.wait(10000));
        QCOMPARE(dialog->resultText(), QStringLiteral("1 sur 1"));
    }

    // Rows: where the words found stand, in the page's order; the match made current.
    void neverCoversTheMatch_data()
    {
        QTest::addColumn<QStringList>("places");
        QTest::addColumn<int>("current");
        QTest::newRow("at the top right, where it first stands") << QStringList{"top"} << 1;
        QTest::newRow("at the bottom right") << QStringList{"bottom"} << 1;
        QTest::newRow("the second, at the bottom right after one at the top right")
            << QStringList{"top", "bottom"} << 2;
    }
    void neverCoversTheMatch()
    {
        QFETCH(QStringList, places);
        QFETCH(int, current);
        QString words;
        for (int i = 0; i < places.size(); ++i)
            words += QStringLiteral("<p id='m%1' style='position:fixed; right:16px; %2:8px; "
                                    "margin:0; font-size:48px'>cible</p>")
                         .arg(i + 1)
                         .arg(places[i]);
        QSignalSpy loaded(view, &QWebEngineView::loadFinished);
        view->setHtml(QStringLiteral("<html><body>") + words + QStringLiteral("</body></html>"));
        QVERIFY(loaded.wait(20000));
        auto clear = std::make_unique<QSignalSpy>(dialog, &FindDialog::clearOfMatch);
        typeAndWait(QStringLiteral("cible"));
        for (int i = 1; i < current; ++i) {
            clear = std::make_unique<QSignalSpy>(dialog, &FindDialog::clearOfMatch);
            clickAndWait("findNext");
        }
        QTRY_VERIFY_WITH_TIMEOUT(!clear->isEmpty(), 10000);

        QVariant box;
        view->page()->runJavaScript(
            QStringLiteral("(r => [r.left, r.top, r.width, r.height])("
                           "document.getElementById('m%1').getBoundingClientRect())")
                .arg(current),
            [&box](const QVariant& answer) { box = answer; });
        QTRY_VERIFY_WITH_TIMEOUT(box.isValid(), 10000);
        const QVariantList r = box.toList();
        const QRect match(view->mapToGlobal(QPoint(r[0].toInt(), r[1].toInt())),
                          QSize(r[2].toInt(), r[3].toInt()));
        QVERIFY2(!dialog->frameGeometry().intersects(match),
                 qPrintable(QStringLiteral("dialog %1,%2 %3x%4 over the match at %5,%6")
                                .arg(dialog->frameGeometry().x())
                                .arg(dialog->frameGeometry().y())
                                .arg(dialog->width())
                                .arg(dialog->height())
                                .arg(match.x())
                                .arg(match.y())));
    }
};

VELMO_WEB_TEST_MAIN(TestFindDialog)
#include "tst_find_dialog.moc"
