#include "platform/viewer/navigation_gate.h"

#include "platform/viewer/file_url.h"

bool NavigationGate::isRecent(Clock::time_point asked, Clock::time_point when) const
{
    return asked != Clock::time_point() && asked <= when && when - asked <= userDelay;
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
        // One step the user asked for takes one step only, wherever it leads.
        const bool asked = isRecent(historyAsked, when);
        historyAsked = {};
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
