#pragma once

#include <QUrl>
#include <QWebEnginePage>

#include <chrono>
#include <set>
#include <vector>

// Which navigations of the main frame may show a local document: only those the user asked for,
// so that a page never chooses the file that the window's commands act on. The program's own loads,
// the document shown loaded again and the history steps the user asked for pass; a page may follow
// a link to another local file only when the user clicked it or pressed Enter on it just before,
// never by a script, a refresh or a redirect of its own. Navigations to the web, and those of
// frames, are not this rule's concern.
class NavigationGate {
public:
    using Clock = std::chrono::steady_clock;

    // How long after the user's click or key the navigation it starts may begin.
    static constexpr std::chrono::milliseconds userDelay{2000};

    // The user clicked in the page or pressed Enter there.
    void userActivated(Clock::time_point when) { activated = when; }
    // The user clicked a link, or pressed Enter on it (see link_clicks.h).
    void linkClicked(const QUrl& link, Clock::time_point when)
    {
        clickedLink = link.adjusted(QUrl::RemoveFragment);
        linkClickedAt = when;
    }
    // The user asked for a step back or forward in the history, to one of `targets`.
    void historyStepAsked(const std::vector<QUrl>& targets, Clock::time_point when);
    // The request rule sent a navigation it let through on to `target`: that redirect is ours.
    void redirectedTo(const QUrl& target) { ourRedirects.insert(target); }

    // `shown` is the address of the document shown, as it was loaded (whatever a script made of its
    // URL since).
    bool accept(const QUrl& target, QWebEnginePage::NavigationType type, const QUrl& shown,
                Clock::time_point when);

private:
    bool isRecent(Clock::time_point asked, Clock::time_point when) const;

    Clock::time_point activated;
    Clock::time_point historyAsked;
    std::vector<QUrl> historyTargets;
    Clock::time_point linkClickedAt;
    QUrl clickedLink;
    std::set<QUrl> ourRedirects;
};
