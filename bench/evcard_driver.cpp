#include "evcard_driver.h"

#include <libebook-contacts/libebook-contacts.h>

namespace {

// The parser warns on stderr about every backslash it does not know (vCard
// 2.1 has no escapes but "\;"); the warnings would cost more than parsing.
void quiet(const gchar *, GLogLevelFlags, const gchar *, gpointer) {}

} // namespace

std::size_t evcardParseAll(const std::vector<std::string> &cards)
{
    static const guint handler = g_log_set_handler(
        "libebook-contacts", GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE), quiet,
        nullptr);
    (void)handler;
    std::size_t values = 0;
    for (const std::string &text : cards) {
        EVCard *card = e_vcard_new_from_string(text.c_str());
        // Parsing is lazy: asking for the attributes makes it happen.
        for (GList *a = e_vcard_get_attributes(card); a; a = a->next) {
            auto *attr = static_cast<EVCardAttribute *>(a->data);
            for (GList *v = e_vcard_attribute_get_values(attr); v; v = v->next)
                ++values;
        }
        g_object_unref(card);
    }
    return values;
}
