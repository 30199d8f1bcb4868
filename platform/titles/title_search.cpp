#include "platform/titles/title_search.h"

namespace {

// Without accents or other combining marks, case folded; "œ" and "æ" spelled out and the
// typographic apostrophe made the typed one, as they are typed on a keyboard.
QString folded(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    out = out.toCaseFolded();
    out.replace(u'\u0153', QLatin1String("oe"));
    out.replace(u'\u00e6', QLatin1String("ae"));
    out.replace(u'\u2019', u'\'');
    return out;
}

} // namespace

QString searchKey(const QString& title, const QString& name)
{
    return folded(title + u'\n' + name);
}

QStringList searchWords(const QString& typed)
{
    return folded(typed).split(u' ', Qt::SkipEmptyParts);
}

bool containsEveryWord(const QString& key, const QStringList& words)
{
    for (const QString& word : words)
        if (!key.contains(word))
            return false;
    return true;
}
