#include "platform/SystemIdentity.h"

#include <climits>
#include <fstream>
#include <pwd.h>
#include <unistd.h>

namespace parvela {

std::string UserName() {
    if (const passwd* user = ::getpwuid(::geteuid()); user && user->pw_name)
        return user->pw_name;
    return std::to_string(::geteuid());
}

std::string HostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

std::string BootId() {
    std::ifstream file("/proc/sys/kernel/random/boot_id");
    std::string id;
    std::getline(file, id);
    return id;
}

} // namespace parvela
