#include "shell/exit_dialogs.h"

#include "cvxlib.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <array>
#include <utility>

namespace corvex {
namespace {

constexpr int kScriptPollMs = 200;

AttachmentAnswer askAboutAttachments(QWidget* frame, AttachmentAnswer preselected) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("WSH Attachments"),
                    QStringLiteral("A WScript MIDI attachment is active.\n"
                                   "You must end script before exiting Corvex.\n\n"
                                   "Attempt to shutdown the script now?"),
                    QMessageBox::NoButton, frame);
    const std::array<std::pair<AttachmentAnswer, QString>, 4> choices = {{
        {AttachmentAnswer::KeepRunning, QStringLiteral("&No, just continue")},
        {AttachmentAnswer::LetScriptsClose, QStringLiteral("Yes, Let the &script shutdown Corvex")},
        {AttachmentAnswer::ExitAfterScripts, QStringLiteral("&Yes, and then forcibly Exit Corvex")},
        {AttachmentAnswer::ExitNow, QStringLiteral("No, just E&xit")},
    }};
    std::array<QPushButton*, 4> buttons{};
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const auto role = i == 0 ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
        buttons[i] = box.addButton(choices[i].second, role);
        if (choices[i].first == preselected) {
            box.setDefaultButton(buttons[i]);
        }
    }
    box.setEscapeButton(buttons[0]); // Cancel is "&No, just continue"
    box.exec();
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (box.clickedButton() == buttons[i]) {
            return choices[i].first;
        }
    }
    return AttachmentAnswer::KeepRunning;
}

void waitForScripts(QWidget* frame, const std::function<uint64_t()>& client) {
    QProgressDialog wait(QStringLiteral("Waiting for Script to Exit..."), QStringLiteral("Cancel"),
                         0, 0, frame);
    wait.setWindowTitle(QStringLiteral("Script Exit"));
    wait.setMinimumDuration(0);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (GetNumAttach(client()) == 0) {
            loop.quit();
        }
    });
    QObject::connect(&wait, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    poll.start(kScriptPollMs);
    wait.show();
    loop.exec();
}

} // namespace

ExitGateHooks scriptExitHooks(std::function<uint64_t()> client, QWidget* frame) {
    ExitGateHooks hooks;
    hooks.attachments = [client] { return client() == 0 ? 0 : int{GetNumAttach(client())}; };
    hooks.ask = [frame](AttachmentAnswer preselected) {
        return askAboutAttachments(frame, preselected);
    };
    hooks.releaseScripts = [client] {
        DivertCvxDockInput(client(), 0, 1);
        DivertCvxScriptInput(client(), 0, 1);
    };
    hooks.waitForScripts = [client, frame] { waitForScripts(frame, client); };
    hooks.closeAgainAfter = [frame](int ms) { QTimer::singleShot(ms, frame, &QWidget::close); };
    return hooks;
}

ExitNotice::ExitNotice(const QString& frameTitle, const QRect& frameRect) : frameRect_(frameRect) {
    setObjectName("EXIT");
    setWindowTitle(QStringLiteral("Corvex is Exiting"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Closing MIDI devices..."), this));
    layout->addWidget(
        new QLabel(QStringLiteral("Please Wait while %1 Exits.").arg(frameTitle), this));
    QApplication::setOverrideCursor(Qt::BusyCursor);
}

ExitNotice::~ExitNotice() {
    QApplication::restoreOverrideCursor();
}

void ExitNotice::showNow() {
    adjustSize();
    if (frameRect_.isValid()) {
        move(frameRect_.center() - rect().center());
    }
    show();
    raise();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace corvex
