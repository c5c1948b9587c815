#include "base/outcome.h"

#include <cstring>

namespace dedur {

std::string Outcome::reason() const {
    switch (error) {
    case 0:
        return {};
    case ReadOnlyFile:
        return "the file is read-only";
    case PlantedLink:
        return "a link stands at that name; it was left alone";
    case DanglingLink:
        return "it is a link to a file that does not exist";
    case NotRegularFile:
        return "it is not a regular file";
    default:
        return std::strerror(error);
    }
}

} // namespace dedur
