// The plain text of an HTML body, for mail that has no text alternative:
// tags dropped, block ends as line ends, character references decoded.
#ifndef ZORVA_PROVIDER_HTML_TEXT_H
#define ZORVA_PROVIDER_HTML_TEXT_H

#include <string>

namespace provider {

std::u32string html_to_text(const std::u32string &html);

} // namespace provider

#endif
