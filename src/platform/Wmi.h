#pragma once
// Reading instances of a WMI class: the network settings that have no
// documented registry value (receive-window autotuning, TCP Chimney) are
// read this way. One implementation per system; tests use a fake.
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ferro {

// One instance: each property that has a value, as text (numbers in
// decimal); a null property is left out.
using WmiInstance = std::map<std::string, std::string>;

struct WmiAnswer {
    enum class Status {
        Answered,         // the instances, possibly none
        NotOnThisSystem,  // no WMI here at all
        Failed,           // WMI is here, but the query failed: `failure` says how
    };
    Status status = Status::NotOnThisSystem;
    std::string failure;
    std::vector<WmiInstance> instances;
};

class WmiQuery {
public:
    virtual ~WmiQuery() = default;
    // Every instance of `className` in the namespace `nameSpace`
    // ("ROOT\\StandardCimv2"), with the named properties.
    virtual WmiAnswer instances(const std::string& nameSpace, const std::string& className,
                                const std::vector<std::string>& properties) = 0;
};

// This system's WMI: on Windows through COM, loaded at run time so that the
// program starts where no WMI is installed; elsewhere, none.
std::unique_ptr<WmiQuery> openWmi();

}  // namespace ferro
