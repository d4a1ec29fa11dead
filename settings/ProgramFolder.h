#pragma once

#include <string>

// The folder that holds the running executable. Stateless: it asks the platform each time.
class CProgramFolder {
public:
    // UTF-8, without a trailing separator and without a length limit. Empty when the platform
    // cannot tell, so that a file name joined to it falls back to the working folder.
    std::string GetFolder() const;
};
