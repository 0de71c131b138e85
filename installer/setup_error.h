// The installer's own failures: a file, folder, link or registry value it
// cannot make, or a damaged payload. The message says what failed.
#pragma once

#include <stdexcept>

namespace setup {

class ESetupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace setup
