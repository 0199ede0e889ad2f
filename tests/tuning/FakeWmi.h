#pragma once
// A WMI that answers what a test sets, and records what it was asked.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/Wmi.h"

namespace ferro::test {

class FakeWmi : public WmiQuery {
public:
    std::map<std::string, WmiAnswer> answers;  // by class name; a class not set is missing
    std::vector<std::string> asked;            // "namespace:class", in order

    WmiAnswer instances(const std::string& nameSpace, const std::string& className,
                        const std::vector<std::string>& properties) override
    {
        asked.push_back(nameSpace + ":" + className);
        const auto found = answers.find(className);
        if (found == answers.end())
            return {WmiAnswer::Status::Failed, "reading " + className + " failed with 0x80041010 (no such class)", {}};
        WmiAnswer answer = found->second;
        // Only what was asked for comes back, as from a SELECT.
        for (WmiInstance& instance : answer.instances)
            std::erase_if(instance, [&](const auto& p) {
                return std::find(properties.begin(), properties.end(), p.first) == properties.end();
            });
        return answer;
    }
};

}  // namespace ferro::test
