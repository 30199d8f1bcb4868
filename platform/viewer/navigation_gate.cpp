#include "platform/viewer/navigation_gate.h"

#include <algorithm>

#include "platform/viewer/file_url.h"

bool NavigationGate::isRecent(Clock::time_point asked, Clock::time_point when) const
{
    return asked != Clock::time_point() && asked <= when && when - asked <= userDelay;
}

void NavigationGate::historyStepAsked(const std::vector<QUrl>& targets, Clock::time_point when)
{
    historyAsked = when;
    historyTargets.clear();
    for (const QUrl& target : targets)
        historyTargets.push_back(target.adjusted(QUrl::RemoveFragment));
}

bool NavigationGate::accept(const QUrl& target, QWebEnginePage::NavigationType type,
                            const QUrl& shown, Clock::time_point when)
{
    const bool local = isLocalUrl(target);
    switch (type) {
    case QWebEnginePage::NavigationTypeTyped:
        // Only the program loads a page this way.
        return true;
    case QWebEnginePage::NavigationTypeBackForward: {
        // One step the user asked for takes one step only, to the entry it was asked for: a step
        // that stays in the page leaves the page no jump of its own to spend.
        const bool asked = isRecent(historyAsked, when) &&
                           std::find(historyTargets.begin(), historyTargets.end(),
                                     target.adjusted(QUrl::RemoveFragment)) != historyTargets.end();
        historyAsked = {};
        historyTargets.clear();
        return !local || asked;
    }
    default:
        break;
    }
    // The same file again (a reload, a link to the page itself) leaves the current page as it is.
    if (!local || target.adjusted(QUrl::RemoveFragment) == shown)
        return true;
    switch (type) {
    case QWebEnginePage::NavigationTypeRedirect:
        // A refresh or a script's replace() look the same as our own redirects, which only the
        // request rule knows.
        return ourRedirects.erase(target) > 0;
    case QWebEnginePage::NavigationTypeLinkClicked:
        // A script's own navigation counts as a click too: it must go where the user just clicked.
        if (!isRecent(activated, when) || !isRecent(linkClickedAt, when) ||
            target.adjusted(QUrl::RemoveFragment) != clickedLink)
            return false;
        activated = {};
        linkClickedAt = {};
        return true;
    default:
        return false;
    }
}
