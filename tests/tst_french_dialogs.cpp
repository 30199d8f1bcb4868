#include "platform/ui/french_translations.h"
#include "platform/ui/qt_user_dialogs.h"
#include "support/open_dialog.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// Texts Qt shows when its French catalogue is missing: none may be seen in our dialogs.
static const QStringList englishTexts =
    QStringLiteral("Open|&Open|Save|&Save|Cancel|Look in:|File &name:|Files of type:|All Files (*)|"
                   "Back|Forward|Parent Directory|Create New Folder|List View|Detail View|Name|"
                   "Size|Date Modified|Show Size|Show Type|Show Date Modified|&Rename|&Delete|"
                   "Delete|Show &hidden files|&New Folder|&Undo|&Redo|Cu&t|&Copy|&Paste|Select All")
        .split(QLatin1Char('|'));

enum Dialog { OpenFile, SaveFile, InputQuery, ErrorBox };

class TestFrenchDialogs : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder;

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        installFrenchTranslations(*QCoreApplication::instance());
    }

    void dialogsAreFrench_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QStringList>("others");
        const QStringList fileDialogTexts =
            QStringLiteral("Voir dans :|&Nom de fichier :|Fichiers de type :|Tous les fichiers (*)|"
                           "Précédent|Suivant|Dossier parent|Créer un nouveau dossier|Vue en liste|"
                           "Vue détaillée|Nom|Taille|Dernière modification|&Renommer|"
                           "&Nouveau dossier|Afficher les fic&hiers cachés|Co&uper|Co&ller|"
                           "Tout sélectionner")
                .split(QLatin1Char('|'));
        QTest::newRow("ouvrir") << int(OpenFile) << "Ouvrir" << QStringList{"&Ouvrir", "Annuler"}
                                << fileDialogTexts;
        QTest::newRow("enregistrer") << int(SaveFile) << "Copie du fichier page.htm"
                                     << QStringList{"&Enregistrer", "Annuler"} << fileDialogTexts;
        QTest::newRow("saisie") << int(InputQuery) << "Nouveau nom de page.htm"
                                << QStringList{"OK", "Annuler"}
                                << QStringList{"Entrer (nom[.ext]) puis confirmer", "&Rétablir",
                                               "Tout sélectionner"};
        QTest::newRow("erreur") << int(ErrorBox) << "Velmo" << QStringList{"OK"}
                                << QStringList{"Fichier introuvable."};
    }

    void dialogsAreFrench()
    {
        QFETCH(int, which);
        QFETCH(QString, title);
        QFETCH(QStringList, buttons);
        QFETCH(QStringList, others);

        QtUserDialogs dialogs(QStringLiteral("Velmo"));
        const std::string path = QFile::encodeName(folder.filePath("page.htm")).toStdString();
        const std::optional<DialogTexts> seen = textsWhileOpen(
            [&] {
                switch (which) {
                case OpenFile:
                    dialogs.openFile(nullptr, QFile::encodeName(folder.path()).toStdString());
                    break;
                case SaveFile:
                    dialogs.saveFile(nullptr, title, path);
                    break;
                case InputQuery:
                    dialogs.inputQuery(nullptr, title, others.first(), QStringLiteral("page.htm"));
                    break;
                case ErrorBox:
                    dialogs.errorBox(nullptr, others.first());
                    break;
                }
            },
            DialogAnswer::Reject);
        QVERIFY2(seen, "la boîte de dialogue n'a pas été vue ouverte");
        QCOMPARE(seen->title, title);
        QStringList shownButtons = seen->buttons;
        shownButtons.sort();
        buttons.sort();
        QCOMPARE(shownButtons, buttons);
        for (const QString& text : others)
            QVERIFY2(seen->others.contains(text), qPrintable("texte absent : " + text));
        for (const QString& text : seen->buttons + seen->others)
            QVERIFY2(!englishTexts.contains(text), qPrintable("texte anglais : " + text));
    }

    void saveDialogKeepsTheBytesOfWhatItProposed()
    {
        // A folder and a name from an old archive, not UTF-8: shown with U+FFFD, kept as they are.
        const std::string archive =
            QFile::encodeName(folder.path()).toStdString() + "/vieux \xE9t\xE9";
        QCOMPARE(::mkdir(archive.c_str(), 0755), 0);
        const std::string proposed = archive + "/caf\xE9.htm";
        QtUserDialogs dialogs(QStringLiteral("Velmo"));
        std::optional<std::string> chosen;

        const std::optional<DialogTexts> seen = textsWhileOpen(
            [&] { chosen = dialogs.saveFile(nullptr, QStringLiteral("Copie"), proposed); },
            DialogAnswer::Accept);

        ::rmdir(archive.c_str());
        QVERIFY(seen);
        QVERIFY(chosen);
        QCOMPARE(QByteArray::fromStdString(*chosen), QByteArray::fromStdString(proposed));
    }
};

QTEST_MAIN(TestFrenchDialogs)
#include "tst_french_dialogs.moc"
