#include "platform/files/qt_file_operation_dialogs.h"
#include "support/fileops_support.h"
#include "support/saved_page.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <functional>

// The service's dialogs on screen (offscreen here): texts, owner, buttons, and the progress dialog
// that keeps the window alive during long work.
class TestFileopsQtDialogs : public QObject {
    Q_OBJECT

    // Calls `step` on the widget of type T owned by `owner` once it is shown.
    template <typename T> static void whenShown(QWidget* owner, std::function<void(T*)> step)
    {
        auto* poll = new QTimer(owner);
        QObject::connect(poll, &QTimer::timeout, owner, [owner, poll, step] {
            for (T* widget : owner->findChildren<T*>()) {
                if (widget->isVisible()) {
                    poll->stop();
                    poll->deleteLater();
                    step(widget);
                    return;
                }
            }
        });
        poll->start(10);
    }

    static QPushButton* buttonNamed(QWidget* parent, const QString& text)
    {
        for (QPushButton* button : parent->findChildren<QPushButton*>())
            if (button->text() == text)
                return button;
        return nullptr;
    }

private slots:
    void questionAnswers_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("answer");
        QTest::newRow("Oui") << "Oui" << true;
        QTest::newRow("Non") << "Non" << false;
        QTest::newRow("Escape") << "" << false;
    }
    void questionAnswers()
    {
        QFETCH(QString, button);
        QFETCH(bool, answer);
        QWidget owner;
        owner.show();
        QtFileOperationDialogs dialogs(&owner);
        QString shownText;
        whenShown<QMessageBox>(&owner, [&](QMessageBox* box) {
            shownText = box->text();
            QCOMPARE(box->icon(), QMessageBox::Question);
            if (button.isEmpty())
                QTest::keyClick(box, Qt::Key_Escape);
            else
                buttonNamed(box, button)->click();
        });

        QCOMPARE(dialogs.askYesNo("Le dossier « /d/é » n'existe pas. Voulez-vous le créer ?"),
                 answer);
        QCOMPARE(shownText, QString("Le dossier « /d/é » n'existe pas. Voulez-vous le créer ?"));
    }

    void serviceErrorShowsInACriticalBox()
    {
        FreshHome home;
        writeBytes(home.path() + "/a.htm", "a");
        writeBytes(home.path() + "/b.htm", "b");
        QWidget owner;
        owner.show();
        QtFileOperationDialogs dialogs(&owner);
        QString shownText;
        whenShown<QMessageBox>(&owner, [&](QMessageBox* box) {
            shownText = box->text();
            QCOMPARE(box->icon(), QMessageBox::Critical);
            buttonNamed(box, "OK")->click();
        });

        QCOMPARE(runFileOperation(requestOf(FO_RENAME, home.path() + "/a.htm",
                                            home.path() + "/b.htm", kRenameFlags),
                                  dialogs),
                 EEXIST);

        QCOMPARE(shownText, "Impossible de renommer « " + QString::fromStdString(home.path()) +
                                "/a.htm ». Le nom « b.htm » existe déjà dans ce dossier : "
                                "choisissez-en un autre.");
    }

    void companionLeftBehindShowsAWarning()
    {
        FreshHome home;
        const std::string target = home.path() + "/elsewhere";
        QCOMPARE(mkdir(target.c_str(), 0755), 0);
        QCOMPARE(mkdir((target + "/a_files").c_str(), 0755), 0);
        savedPage::make(home.path());
        QWidget owner;
        owner.show();
        QtFileOperationDialogs dialogs(&owner);
        QString shownText;
        whenShown<QMessageBox>(&owner, [&](QMessageBox* box) {
            shownText = box->text();
            QCOMPARE(box->icon(), QMessageBox::Warning);
            buttonNamed(box, "OK")->click();
        });

        QCOMPARE(runFileOperation(
                     requestOf(FO_COPY, home.path() + "/a.htm", target + "/a.htm", kTransferFlags),
                     dialogs),
                 0);

        QCOMPARE(shownText, "La page « " + QString::fromStdString(home.path()) +
                                "/a.htm » a été copiée sans son dossier « a_files », car un "
                                "dossier de ce nom existe déjà dans « " +
                                QString::fromStdString(target) +
                                " ». La copie risque de s'afficher sans ses images.");
    }

    void longWorkShowsItsProgressAndCancels()
    {
        QWidget owner;
        owner.show();
        QtFileOperationDialogs dialogs(&owner);
        FileProgress progress(FileAction::Copy);
        QString title;
        QString label;
        QWidget* parent = nullptr;
        Qt::WindowModality modality = Qt::NonModal;
        whenShown<QProgressDialog>(&owner, [&](QProgressDialog* dialog) {
            parent = dialog->parentWidget();
            modality = dialog->windowModality();
            // Let a refresh bring the label up to date with the bytes done.
            QTest::qWait(150);
            title = dialog->windowTitle();
            label = dialog->labelText();
            buttonNamed(dialog, "Annuler")->click();
        });
        int ticks = 0;
        QTimer alive;
        QObject::connect(&alive, &QTimer::timeout, [&] { ++ticks; });
        alive.start(20);
        bool stoppedByCancel = false;

        dialogs.runWithProgress(progress, [&] {
            progress.setTotal(100 << 20);
            progress.setItem("/d/gros.bin");
            progress.advance(10 << 20);
            // Runs until cancelled, or gives up after a long while so that a failure cannot hang.
            for (int i = 0; i < 2000 && !progress.cancelled(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            stoppedByCancel = progress.cancelled();
            progress.finish();
        });

        QVERIFY(stoppedByCancel);
        QCOMPARE(title, QString("Copie en cours"));
        QCOMPARE(label, QString("Copie de « /d/gros.bin »\n10,0 Mo sur 100,0 Mo"));
        QVERIFY(ticks > 0); // the window's own timers ran during the work
        QCOMPARE(parent, &owner);
        QCOMPARE(modality, Qt::WindowModal);
    }
};

QTEST_MAIN(TestFileopsQtDialogs)
#include "tst_fileops_qt_dialogs.moc"
