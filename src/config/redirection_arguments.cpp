#include "config/redirection_arguments.h"

namespace vellum::config {

std::string RedirectionArguments(const std::string& folder, const std::string& exeName) {
    std::string program;
    for (char c : folder + "\\" + exeName + ".exe") {
        if (c == '%') program += '%';
        program += c;
    }
    return "\"" + program + "\" %%1";
}

}  // namespace vellum::config
