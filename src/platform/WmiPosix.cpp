#include "platform/Wmi.h"

namespace ferro {
namespace {

class NoWmi : public WmiQuery {
public:
    WmiAnswer instances(const std::string&, const std::string&, const std::vector<std::string>&) override
    {
        return {};
    }
};

}  // namespace

std::unique_ptr<WmiQuery> openWmi()
{
    return std::make_unique<NoWmi>();
}

}  // namespace ferro
