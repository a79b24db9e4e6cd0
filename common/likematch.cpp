#include "common/likematch.h"

namespace {

// Matches one pattern element at p against c; returns the position after
// the element in next. A "*" is handled by the caller.
bool matchElement(QStringView pattern, qsizetype p, QChar c, qsizetype &next)
{
    const QChar pc = pattern[p];
    next = p + 1;
    if (pc == u'?')
        return true;
    if (pc == u'#')
        return c >= u'0' && c <= u'9';
    if (pc == u'[') {
        const qsizetype close = pattern.indexOf(u']', p + 1);
        if (close >= 0) {
            next = close + 1;
            qsizetype i = p + 1;
            bool negate = false;
            if (i < close && pattern[i] == u'!') {
                negate = true;
                ++i;
            }
            bool found = false;
            for (; i < close && !found; ++i) {
                if (i + 2 < close && pattern[i + 1] == u'-') {
                    found = c >= pattern[i] && c <= pattern[i + 2];
                    i += 2;
                } else {
                    found = c == pattern[i];
                }
            }
            return found != negate;
        }
    }
    return c == pc;
}

} // namespace

bool likeMatch(QStringView text, QStringView pattern)
{
    // Greedy walk; on a mismatch, let the last "*" swallow one more character.
    qsizetype t = 0, p = 0;
    qsizetype starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            while (p < pattern.size() && pattern[p] == u'*')
                ++p;
            // Stars that end the pattern take the rest of the text, whatever
            // it is (every log pattern ends so, and log lines are long).
            if (p == pattern.size())
                return true;
            starP = p;
            starT = t;
            continue;
        }
        qsizetype next = 0;
        if (p < pattern.size() && matchElement(pattern, p, text[t], next)) {
            p = next;
            ++t;
            continue;
        }
        if (starP < 0)
            return false;
        p = starP;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}
