#include "platform/viewer/link_clicks.h"

namespace {

// Listens before any listener of the page can (capture on the window, from the document's
// creation on), and sees through open shadow roots to the element clicked. Only local documents
// report: a web page, framed or not, never sends the user to a local file. A click counts with the
// main button, or the middle one that opens a window; a key only on a link that the user's own Tab
// or press put the keyboard on, with the address it had when the key went down.
const char source[] = R"js((() => {
  if (location.protocol !== 'vpage:') return;
  const token = 'TOKEN';
  let pressed = null;
  let pressPath = [];
  let tabbing = false;
  let focusedByUser = null;
  let keyed = null;
  const linkIn = path => {
    for (const n of path)
      if (n instanceof Element && (n.localName === 'a' || n.localName === 'area') &&
          (n.hasAttribute('href') || n.hasAttributeNS('http://www.w3.org/1999/xlink', 'href')))
        return n;
    return null;
  };
  const addressOf = link => typeof link.href === 'string' ? link.href
      : new URL(link.href.animVal, link.baseURI).href;
  const soon = reset => setTimeout(reset, 0);
  addEventListener('mousedown', e => {
    if (!e.isTrusted) return;
    const counts = e.button === 0 || e.button === 1;
    const link = counts ? linkIn(e.composedPath()) : null;
    pressed = link && { link, href: addressOf(link) };
    pressPath = e.composedPath();
    soon(() => { pressPath = []; });
  }, true);
  addEventListener('keydown', e => {
    if (!e.isTrusted) return;
    if (e.key === 'Tab') {
      tabbing = true;
      soon(() => { tabbing = false; });
    }
    const target = e.composedPath()[0];
    keyed = target === focusedByUser && linkIn([target]) ? { link: target, href: addressOf(target) }
                                                         : null;
  }, true);
  addEventListener('focusin', e => {
    const target = e.composedPath()[0];
    focusedByUser = tabbing || pressPath.includes(target) ? target : null;
  }, true);
  const clicked = e => {
    if (!e.isTrusted || (e.type === 'click' ? e.button !== 0 : e.button !== 1)) return;
    const link = linkIn(e.composedPath());
    if (!link) return;
    const href = addressOf(link);
    const chosen = e.detail > 0 ? pressed && pressed.link === link && pressed.href === href
                                : keyed && keyed.link === link && keyed.href === href;
    if (chosen) console.debug(token + href);
  };
  addEventListener('click', clicked, true);
  addEventListener('auxclick', clicked, true);
})();)js";

} // namespace

QWebEngineScript linkClickScript(const QString& token)
{
    QWebEngineScript script;
    script.setName(QStringLiteral("link-clicks"));
    script.setSourceCode(QString::fromLatin1(source).replace(QLatin1String("TOKEN"), token));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    return script;
}

std::optional<QUrl> clickedLinkIn(const QString& message, const QString& token)
{
    if (token.isEmpty() || !message.startsWith(token))
        return std::nullopt;
    const QUrl link(message.mid(token.size()), QUrl::StrictMode);
    if (!link.isValid())
        return std::nullopt;
    return link;
}
