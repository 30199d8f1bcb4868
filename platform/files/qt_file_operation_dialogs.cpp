#include "platform/files/qt_file_operation_dialogs.h"

#include "platform/files/dialog_text.h"
#include "platform/files/file_progress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <thread>

namespace {

// Work that ends within this time shows nothing, and the window does not even repaint meanwhile.
constexpr std::chrono::milliseconds kBlockingWait{40};
// Work that lasts longer than this shows its progress dialog.
constexpr int kQuietMilliseconds = 500;
constexpr int kTickMilliseconds = 50;
constexpr int kSteps = 1000;

QString text(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString boxTitle()
{
    return QCoreApplication::applicationName();
}

void refresh(QProgressDialog& dialog, const FileProgress& progress)
{
    const std::uint64_t total = progress.total();
    const std::uint64_t done = progress.done();
    dialog.setLabelText(text(progressLabel(progress.action(), progress.item(), done, total)));
    dialog.setValue(total ? static_cast<int>(std::min(done, total) * kSteps / total) : 0);
}

} // namespace

QtFileOperationDialogs::QtFileOperationDialogs(QWidget* owner) : owner_(owner) {}

bool QtFileOperationDialogs::askYesNo(const std::string& question)
{
    QMessageBox box(QMessageBox::Question, boxTitle(), text(question), QMessageBox::NoButton,
                    owner_);
    QPushButton* yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void QtFileOperationDialogs::showError(const std::string& message)
{
    QMessageBox box(QMessageBox::Critical, boxTitle(), text(message), QMessageBox::NoButton,
                    owner_);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

void QtFileOperationDialogs::showWarning(const std::string& message)
{
    QMessageBox box(QMessageBox::Warning, boxTitle(), text(message), QMessageBox::NoButton, owner_);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

void QtFileOperationDialogs::runWithProgress(FileProgress& progress,
                                             const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    std::thread worker(work);
    if (!progress.waitFinished(kBlockingWait))
        followOnScreen(progress, clock.elapsed());
    worker.join();
}

// Keeps the interface alive until the work ends: first without user input (a click queued then
// reaches the window only after the work), then with the progress dialog and its "Annuler".
void QtFileOperationDialogs::followOnScreen(FileProgress& progress, long long elapsedSoFar)
{
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (progress.finished() || elapsedSoFar + clock.elapsed() >= kQuietMilliseconds)
            loop.quit();
    });
    tick.start(kTickMilliseconds);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (progress.finished())
        return;

    QProgressDialog dialog(owner_);
    dialog.setWindowModality(owner_ ? Qt::WindowModal : Qt::ApplicationModal);
    dialog.setWindowTitle(text(progressTitle(progress.action())));
    dialog.setCancelButtonText(QStringLiteral("Annuler"));
    dialog.setRange(0, kSteps);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop,
                     [&progress] { progress.requestCancel(); });
    refresh(dialog, progress);
    dialog.show();
    QObject::disconnect(&tick, nullptr, &loop, nullptr);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (progress.finished()) {
            loop.quit();
            return;
        }
        if (!dialog.wasCanceled())
            refresh(dialog, progress);
    });
    loop.exec();
}
