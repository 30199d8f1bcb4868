#include "platform/viewer/link_clicks.h"

namespace {

// Listens before any listener of the page can (capture on the window, from the document's
// creation on), and sees through open shadow roots to the element clicked.
const char source[] = R"js((() => {
  const token = 'TOKEN';
  let pressed = null;
  let keyTarget = null;
  const linkOf = event => {
    for (let n = event.composedPath()[0]; n; n = n.parentNode || n.host)
      if (n instanceof Element && (n.localName === 'a' || n.localName === 'area') &&
          (n.hasAttribute('href') || n.hasAttributeNS('http://www.w3.org/1999/xlink', 'href')))
        return n;
    return null;
  };
  const addressOf = link => typeof link.href === 'string' ? link.href
      : new URL(link.href.animVal, link.baseURI).href;
  addEventListener('mousedown', e => {
    if (!e.isTrusted) return;
    const link = linkOf(e);
    pressed = link && { link, href: addressOf(link) };
  }, true);
  addEventListener('keydown', e => { if (e.isTrusted) keyTarget = e.composedPath()[0]; }, true);
  const clicked = e => {
    if (!e.isTrusted) return;
    const link = linkOf(e);
    if (!link) return;
    const href = addressOf(link);
    const chosen = e.detail > 0 ? pressed && pressed.link === link && pressed.href === href
                                : keyTarget === link;
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
