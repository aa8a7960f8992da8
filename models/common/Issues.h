// The messages of an input check; each becomes one line of the error file.
#pragma once

#include <string>
#include <vector>

namespace parvela::models {

class Issues {
public:
    void Add(std::string message) { messages_.push_back(std::move(message)); }
    // Prefixes the file name and line number, so that the user finds the place.
    void AddAt(const std::string& file, int line, const std::string& message);
    bool Empty() const { return messages_.empty(); }
    const std::vector<std::string>& Messages() const { return messages_; }

private:
    std::vector<std::string> messages_;
};

} // namespace parvela::models
