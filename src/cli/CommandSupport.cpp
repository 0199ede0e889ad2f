#include "cli/CommandSupport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/TestWritePause.h"
#include "platform/DefaultRegistry.h"
#include "platform/Paths.h"
#include "registry/RegFile.h"

namespace ferro {
namespace {

// The reason of `error`, or else of the last failed call; false.
bool failed(std::string& why, int error = 0)
{
    why = std::strerror(error ? error : errno ? errno : EIO);
    return false;
}

void printEachFailure(TextSink& err, const std::vector<Failure>& failures)
{
    constexpr std::size_t kShown = 20;
    for (std::size_t i = 0; i < failures.size() && i < kShown; ++i)
        printFailure(err, failures[i]);
    if (failures.size() > kShown)
        err << kProgram << ": and " << failures.size() - kShown << " more.\n";
}

void accessDeniedHint(TextSink& err, const Options& o)
{
#ifdef _WIN32
    (void)o;
    err << kProgram << ": writing was refused (5). Run it from an elevated Command Prompt: "
        << "right-click Command Prompt, choose \"Run as administrator\", and run the same command there.\n";
#else
    err << kProgram << ": writing was refused (5): the registry store " << storeFile(o.registry)
        << " is read-only for you.\n";
#endif
}

}  // namespace

std::unique_ptr<RegistryBackend> openRegistryFor(const Options& o, const CliStreams& io)
{
    if (io.openRegistry)
        return io.openRegistry(o.registry);
    return withTestWritePause(openRegistry(o.registry));
}

std::unique_ptr<RegistryBackend> openForReading(const Options& o, CliStreams& io)
{
    if (io.openRegistry)
        return io.openRegistry(o.registry);
    std::string whyAbsent;
    auto backend = openRegistryToRead(o.registry, whyAbsent);
    if (!backend)
        io.err << kProgram << ": " << registryName(o) << ' ' << whyAbsent << ", so every value is absent.\n";
    return backend;
}

std::string registryName(const Options& o)
{
    const std::string file = storeFile(o.registry);
    return file.empty() ? "the registry" : "the registry store " + file;
}

std::string planName(const Options& o)
{
    const char* part = o.part == PlanPart::Machine ? "the machine part of "
                       : o.part == PlanPart::User  ? "the user part of "
                                                   : "";
    return part + std::string("the plan for ") + std::to_string(*o.speed) + " Kbps";
}

const char* partName(PlanPart part)
{
    return part == PlanPart::Machine ? "machine" : part == PlanPart::User ? "user" : "both";
}

std::vector<RegEntry> writesInPart(const Options& o)
{
    std::vector<RegEntry> writes = planWrites(*o.speed);
    std::erase_if(writes, [&](const RegEntry& e) { return !inPart(o.part, e.path.root); });
    return writes;
}

std::vector<PlanDifference> differencesInPart(RegistryBackend* backend, const Options& o)
{
    std::vector<PlanDifference> differences;
    if (backend) {
        differences = planDifferences(*backend, *o.speed);
        std::erase_if(differences, [&](const PlanDifference& d) { return !inPart(o.part, d.path.root); });
    } else {
        for (const RegEntry& e : writesInPart(o))
            differences.push_back({e.path, *e.state, {}, kStatusNotFound});
    }
    return differences;
}

bool unreadable(const PlanDifference& d)
{
    return d.readStatus != kStatusOk && d.readStatus != kStatusNotFound;
}

std::string nowText(const PlanDifference& d)
{
    return d.readStatus == kStatusNotFound ? "absent"
           : unreadable(d)                 ? "unreadable, " + statusText(d.readStatus)
                                           : regDataText(d.now);
}

bool readFile(const std::string& name, std::string& text, std::string& why)
{
    errno = 0;
    std::FILE* file = openFile(name, "rb");
    if (!file)
        return failed(why);
    const bool read = readToEnd(file, text);
    const int error = read ? 0 : errno;
    return std::fclose(file) == 0 && read ? true : failed(why, error);
}

bool writeFile(const std::string& name, const std::string& text, std::string& why)
{
    errno = 0;
    std::FILE* file = openFile(name, "wb");
    if (!file)
        return failed(why);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int error = written ? 0 : errno;
    return std::fclose(file) == 0 && written ? true : failed(why, error);
}

void printFailure(TextSink& err, const Failure& f)
{
    using Operation = Failure::Operation;
    const char* tried = f.operation == Operation::OpenKey       ? "cannot open the key of "
                        : f.operation == Operation::DeleteValue ? "cannot delete "
                        : f.operation == Operation::ReadValue   ? "cannot read "
                                                                : "cannot set ";
    err << kProgram << ": " << tried << fullValuePath(f.path) << ": " << failureReason(f) << '\n';
}

void printWriteFailures(TextSink& err, const Options& o, const std::vector<Failure>& failures)
{
    const auto storeWide = std::find_if(failures.begin(), failures.end(),
                                        [](const Failure& f) { return refusesEveryWrite(f.status); });
    if (storeWide != failures.end())
        err << kProgram << ": cannot write " << registryName(o) << ": " << statusText(storeWide->status) << '\n';
    else
        printEachFailure(err, failures);
    if (std::any_of(failures.begin(), failures.end(), [](const Failure& f) { return f.status == kStatusAccessDenied; }))
        accessDeniedHint(err, o);
}

}  // namespace ferro
