// The commands that only read: plan, check, show and export.
#include <algorithm>

#include "cli/CommandBodies.h"
#include "cli/CommandSupport.h"
#include "cli/PlanReport.h"
#include "cli/ValueOutput.h"
#include "platform/Paths.h"
#include "platform/WindowsVersion.h"
#include "registry/RegFile.h"

namespace ferro {
namespace {

// What check found in the chosen part.
struct CheckResult {
    std::vector<PlanDifference> differences;
    std::size_t values;  // how many the part writes
    std::string summary;
};

CheckResult checkPart(RegistryBackend* backend, const Options& o)
{
    CheckResult c{differencesInPart(backend, o), writesInPart(o).size(), {}};
    const std::string values = std::to_string(c.values);
    c.summary = c.differences.empty() ? "The registry holds " + planName(o) + " (" + values + " values)."
                                      : "The registry does not hold " + planName(o) + ": " +
                                            std::to_string(c.differences.size()) + " of " + values +
                                            " values differ.";
    return c;
}

void writeCheckJson(const Options& o, const CheckResult& c, TextSink& out)
{
    JsonWriter json;
    json.object().key("format").number(kJsonFormat);
    json.key("speed").number(*o.speed).key("part").string(partName(o.part));
    json.key("holds").boolean(c.differences.empty()).key("planned").number(static_cast<long long>(c.values));
    json.key("differing").number(static_cast<long long>(c.differences.size())).key("summary").string(c.summary);
    json.key("differences").array();
    for (const PlanDifference& d : c.differences) {
        json.object();
        writePlace(json, d.path);
        writeState(json.key("now"), d.now);
        writeState(json.key("wanted"), d.wanted);
        if (unreadable(d))
            json.key("error").string(statusText(d.readStatus));
        json.end();
    }
    out << json.end().end().line();
}

// An unreadable value shows as absent ("-"); stderr says why.
void writeCheckTsv(const CheckResult& c, CliStreams& io)
{
    io.out << "root\tkey\tvalue\tnow_type\tnow\twanted_type\twanted\n";
    for (const PlanDifference& d : c.differences) {
        io.out << rootName(d.path.root) << '\t' << d.path.keyPath << '\t' << d.path.valueName << '\t'
               << tsvType(d.now) << '\t' << tsvData(d.now) << '\t' << tsvType(d.wanted) << '\t'
               << tsvData(d.wanted) << '\n';
        if (unreadable(d))
            printFailure(io.err, {Failure::Operation::ReadValue, d.path, d.readStatus, {}});
    }
}

void writeCheckText(const CheckResult& c, TextSink& out)
{
    out << c.summary << '\n';
    for (const PlanDifference& d : c.differences)
        out << fullValuePath(d.path) << ": now " << nowText(d) << ", wanted " << regDataText(d.wanted) << '\n';
}

// The state of every value the plan writes (every one absent when there is
// no store), and the ones that could not be read.
std::vector<RegEntry> planState(RegistryBackend* backend, std::vector<Failure>& unreadable)
{
    if (backend)
        return captureState(*backend, planValues(), unreadable);
    std::vector<RegEntry> state;
    for (const ValuePath& value : planValues())
        state.push_back({value, ValueState{}});
    return state;
}

void writeShowJson(const std::vector<RegEntry>& state, const std::vector<Failure>& unreadable, TextSink& out)
{
    JsonWriter json;
    json.object().key("format").number(kJsonFormat).key("values").array();
    for (const RegEntry& e : state) {
        writePlace(json.object(), e.path);
        writeState(json.key("now"), e.state.value_or(ValueState{}));
        json.end();
    }
    for (const Failure& f : unreadable) {
        writePlace(json.object(), f.path);
        json.key("now").null().key("error").string(statusText(f.status)).end();
    }
    out << json.end().end().line();
}


}  // namespace

int cmdPlan(const Options& o, CliStreams& io)
{
    io.out << (o.format == "json"  ? planJson(*o.speed)
               : o.format == "tsv" ? planTsv(*o.speed)
                                   : planText(*o.speed, runningWindowsVersion()));
    return kExitOk;
}

// Exit 0 when the registry holds exactly what apply would write at this
// speed, 1 when not, naming each value that differs, 3 when a value could
// not be read.
int cmdCheck(const Options& o, CliStreams& io)
{
    auto backend = openForReading(o, io);
    const CheckResult c = checkPart(backend.get(), o);
    if (o.format == "json")
        writeCheckJson(o, c, io.out);
    else if (o.format == "tsv")
        writeCheckTsv(c, io);
    else
        writeCheckText(c, io.out);
    if (c.differences.empty())
        return kExitOk;
    return std::any_of(c.differences.begin(), c.differences.end(), unreadable) ? kExitFailed : kExitNotAsPlanned;
}

int cmdShow(const Options& o, CliStreams& io)
{
    auto backend = openForReading(o, io);
    std::vector<Failure> unreadable;
    const std::vector<RegEntry> state = planState(backend.get(), unreadable);
    if (o.format == "json")
        writeShowJson(state, unreadable, io.out);
    else
        io.out << writeRegFile(state);
    for (const Failure& f : unreadable)
        printFailure(io.err, f);
    return unreadable.empty() ? kExitOk : kExitFailed;
}

int cmdExport(const Options& o, CliStreams& io)
{
    const std::string text = writeRegFile(planWrites(*o.speed));
    if (o.output.empty() || o.output == "-") {
        io.out << text;
        return kExitOk;
    }
    std::string why;
    if (!writeFile(o.output, text, why)) {
        io.err << kProgram << ": cannot write " << o.output << ": " << why << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace ferro
