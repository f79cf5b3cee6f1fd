// The message text as it travels after DATA (RFC 5321, section 4.5.2):
// every line ended by CR LF (a lone CR or LF becomes CR LF), a dot doubled
// at the start of a line, and the end marked by a line holding one dot.
#ifndef ZORVA_PROVIDER_SMTP_DATA_H
#define ZORVA_PROVIDER_SMTP_DATA_H

#include <cstddef>
#include <string>

namespace provider {

class DotStuffer {
  public:
    // Appends the transmitted form of the next bytes of the message.
    void add(const char *data, std::size_t size, std::string &out);
    // Ends the last line if it is open and appends the end marker.
    void finish(std::string &out);

  private:
    bool line_start_ = true;
    bool after_cr_ = false;
};

// Whether any byte has its high bit set.
bool has_eight_bit(const char *data, std::size_t size);

} // namespace provider

#endif
