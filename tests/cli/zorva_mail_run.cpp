#include "zorva_mail_run.h"

#include <cstdio>

#include "provider_fixture.h"

ZorvaMailRun run_zorva_mail(const std::vector<std::string> &args,
                            const zorva_cli::CliSettings &settings)
{
    std::vector<std::string> all{"--library", host_platform::library_path()};
    all.insert(all.end(), args.begin(), args.end());
    std::FILE *err = std::tmpfile();
    CallResult r = call_capturing([&] { return zorva_cli::run_cli(all, settings, stdout, err); });
    std::string err_text;
    std::rewind(err);
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, err)) > 0) {
        err_text.append(chunk, got);
    }
    std::fclose(err);
    return ZorvaMailRun{r.result, r.printed, err_text};
}

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}
