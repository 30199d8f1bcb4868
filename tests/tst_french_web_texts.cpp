#include "platform/ui/french_translations.h"
#include "platform/viewer/web_page.h"
#include "support/open_dialog.h"
#include "support/web_test_main.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <map>

// The web engine's own texts are French: the actions of the page's context menu, and the
// script dialogs of a page shown in the viewer's page.
class TestFrenchWebTexts : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder;
    std::map<int, QString> englishActions;

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        // The texts the engine gives without our catalogues, to compare with.
        QWebEnginePage english;
        for (int action = 0; action < QWebEnginePage::WebActionCount; ++action)
            if (QAction* item = english.action(QWebEnginePage::WebAction(action)))
                englishActions[action] = item->text();
        QVERIFY(!englishActions.empty());
        installFrenchTranslations(*QCoreApplication::instance());
    }

    void pageActionsAreFrench()
    {
        QWebEnginePage page;
        for (const auto& [action, english] : englishActions) {
            const QString french = page.action(QWebEnginePage::WebAction(action))->text();
            QVERIFY2(
                !french.isEmpty() && french != english,
                qPrintable(QStringLiteral("action %1 non traduite : %2").arg(action).arg(english)));
        }
        QCOMPARE(page.action(QWebEnginePage::Back)->text(), QStringLiteral("Page précédente"));
        QCOMPARE(page.action(QWebEnginePage::ViewSource)->text(),
                 QStringLiteral("Afficher le code source de la page"));
    }

    void scriptDialogsAreFrench_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("pageTitle");
        QTest::newRow("alerte") << "alert('1 < 2 & 3'); document.title = 'vu';"
                                << "Message de la page %1" << QStringList{"OK"} << "1 < 2 & 3"
                                << "vu";
        QTest::newRow("confirmation")
            << "document.title = confirm('<b>Continuer ?</b>') ? 'oui' : 'non';"
            << "Question de la page %1" << QStringList{"OK", "Annuler"} << "<b>Continuer ?</b>"
            << "oui";
        QTest::newRow("saisie") << "document.title = prompt('Votre nom ?', 'Jean') || 'rien';"
                                << "Saisie pour la page %1" << QStringList{"OK", "Annuler"}
                                << "Votre nom ?"
                                << "Jean";
    }

    // Each dialog is accepted: what it answers reaches the page's script.
    void scriptDialogsAreFrench()
    {
        QFETCH(QString, script);
        QFETCH(QString, title);
        QFETCH(QStringList, buttons);
        QFETCH(QString, message);
        QFETCH(QString, pageTitle);

        const QString path = folder.filePath(QStringLiteral("page script.htm"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(("<html><body><script>" + script + "</script></body></html>").toUtf8());
        file.close();

        QWebEngineView view;
        auto* page = new WebPage(QWebEngineProfile::defaultProfile(), &view);
        view.setPage(page);
        view.resize(400, 300);
        view.show();
        const std::optional<DialogTexts> seen = textsWhileOpen(
            [&] {
                QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
                view.load(QUrl::fromLocalFile(path));
                loaded.wait(30000);
            },
            DialogAnswer::Accept);
        QVERIFY2(seen, "aucune boîte de dialogue vue");
        QCOMPARE(seen->title, title.arg(path));
        QStringList shownButtons = seen->buttons;
        shownButtons.sort();
        buttons.sort();
        QCOMPARE(shownButtons, buttons);
        QVERIFY2(seen->others.contains(message), qPrintable(seen->others.join(" | ")));
        QVERIFY(seen->plainLabels);
        QTRY_COMPARE_WITH_TIMEOUT(page->title(), pageTitle, 10000);
    }

    // The file chooser that a page opens says that the page asks: never "Ouvrir", the window's own.
    void fileChooserSaysThePageAsks()
    {
        const QString path = folder.filePath(QStringLiteral("chooser.htm"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("<html><body><input type=file style='position:fixed; inset:0; width:100%;"
                   " height:100%'></body></html>");
        file.close();
        QWebEngineView view;
        auto* page = new WebPage(QWebEngineProfile::defaultProfile(), &view);
        view.setPage(page);
        view.resize(400, 300);
        view.show();
        QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
        view.load(QUrl::fromLocalFile(path));
        QVERIFY(loaded.wait(30000));
        QString title;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                title = dialog->windowTitle();
                dialog->reject();
            }
        });
        poll.start(20);
        QTest::mouseClick(view.focusProxy(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
        QTRY_VERIFY_WITH_TIMEOUT(!title.isEmpty(), 10000);
        QCOMPARE(title, QStringLiteral("La page demande un fichier"));
    }
};

VELMO_WEB_TEST_MAIN(TestFrenchWebTexts)
#include "tst_french_web_texts.moc"
