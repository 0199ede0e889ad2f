#include "tuning/ValueEffects.h"

#include <cstring>
#include <stdexcept>

namespace ferro {
namespace {

constexpr Confidence D = Confidence::Documented;
constexpr Confidence W = Confidence::WidelyReported;
constexpr Confidence U = Confidence::Unconfirmed;

// In plan order. Where a claim rests on the absence of any document (no NT
// reader of the Windows 9x keys is named anywhere), the row is unconfirmed.
constexpr auto kEffects = std::to_array<ValueEffect>({
    {"DefaultRcvWindow", "Windows 95, 98 and Me; no NT-family reader is documented",
     "DWORD on 95, a decimal string on 98/Me",
     "None: since Vista, receive-window autotuning sizes the window and the registry can no longer set it.", D,
     "S1,S4,S5,S8,S25"},
    {"DefaultTTL", "Windows 95, 98 and Me", "a string, 1 to 255",
     "None known: no NT-family reader of this key is documented; Windows 10/11 take the TTL from "
     "Tcpip\\Parameters (a DWORD).",
     U, "S1,S5"},
    {"PMTUDiscovery", "Windows 95, 98 and Me", "the string \"0\" or \"1\", default \"1\"",
     "None: even Windows 95/98/Me, which read it, already default to \"1\".", D, "S2"},
    {"PMTUBlackHoleDetect", "Windows 95, 98 and Me", "the string \"0\" or \"1\", default \"0\"",
     "None: even Windows 95/98/Me, which read it, already default to \"0\".", D, "S2"},
    {"Tcp1323Opts", "Windows 98 and Me (sources disagree on the Parameters subkey)", "the string 0, 1 or 3",
     "None known: no NT-family reader of this key is documented; Windows 10/11 read Tcp1323Opts from "
     "Tcpip\\Parameters as a REG_DWORD.",
     U, "S4,S5,S10b"},
    {"SackOpts", "Windows 98 and Me (sources disagree on the Parameters subkey)", "the string 0 or 1",
     "None known: no NT-family reader of this key is documented; Windows 10/11 read SackOpts (default 1) "
     "from Tcpip\\Parameters as a REG_DWORD.",
     U, "S4,S5,S6,S10b"},
    {"MaxDupAcks", "Windows 98 and Me", "a string (default reported as 3)",
     "None known: no NT-family reader of this key is documented; the NT stack's value is TcpMaxDupAcks "
     "(REG_DWORD, default 2) in Tcpip\\Parameters.",
     U, "S5,S6,S27"},
    {"MaxConnectionsPer1_0Server", "WinINet (Internet Explorer and WinINet apps), Windows 10/11 included",
     "REG_DWORD",
     "Probably none: how WinINet treats the text \"dword:00000010\" is undocumented, so expect its default "
     "(6 on broadband); only WinINet clients could notice.",
     U, "S12,S13,S14,S15,S16"},
    {"MaxConnectionsPerServer", "WinINet (Internet Explorer and WinINet apps), Windows 10/11 included",
     "REG_DWORD",
     "Probably none: how WinINet treats the text \"dword:00000010\" is undocumented, so expect its default "
     "(6 on broadband); only WinINet clients could notice.",
     U, "S13,S14,S15,S16"},
    {"internetMTU", "Internet Connection Sharing of Windows 98 SE and Me", "unknown",
     "None known: connection sharing since Windows 2000 is a different component, and no NT reader of this "
     "key is documented.",
     U, "S17,S17b,S18"},
    {"TcpWindowSize", "Windows NT 4, 2000, XP and Server 2003", "REG_DWORD, 0 to 0x3FFFFFFF",
     "None: since Vista this entry is not used, and Microsoft lists it among the ignored settings.", D,
     "S8,S9,S10"},
    {"GlobalMaxTcpWindowSize", "Windows 2000, XP and Server 2003", "REG_DWORD, 0 to 0x3FFFFFFF",
     "None reported: since Vista autotuning, not the registry, sets the receive window, though this value "
     "is not on Microsoft's list of ignored settings.",
     W, "S3,S8,S11"},
    {"LocalPriority", "Windows NT 3.5x and 95, 98/Me elsewhere; not NT 4.0; 2000 to 11 unknown",
     "DWORD or BINARY, -32768 to 32767, lower first",
     "None shown: no reader since Vista is documented, and 5, 6, 7, 8 keep the default order local, hosts, "
     "DNS, NetBT.",
     U, "S19a,S19b,S19c,S19d"},
    {"HostsPriority", "Windows NT 3.5x and 95, 98/Me elsewhere; not NT 4.0; 2000 to 11 unknown",
     "DWORD or BINARY, -32768 to 32767, lower first",
     "None shown: no reader since Vista is documented, and 5, 6, 7, 8 keep the default order local, hosts, "
     "DNS, NetBT.",
     U, "S19a,S19b,S19c,S19d"},
    {"DnsPriority", "Windows NT 3.5x and 95, 98/Me elsewhere; not NT 4.0; 2000 to 11 unknown",
     "DWORD or BINARY, -32768 to 32767, lower first",
     "None shown: no reader since Vista is documented, and 5, 6, 7, 8 keep the default order local, hosts, "
     "DNS, NetBT.",
     U, "S19a,S19b,S19c,S19d"},
    {"NetbtPriority", "Windows NT 3.5x and 95, 98/Me elsewhere; not NT 4.0; 2000 to 11 unknown",
     "DWORD or BINARY, -32768 to 32767, lower first",
     "None shown: no reader since Vista is documented, and 5, 6, 7, 8 keep the default order local, hosts, "
     "DNS, NetBT.",
     U, "S19a,S19b,S19c,S19d"},
    {"SizReqBuf", "the Server service (the SMB server side)", "REG_DWORD, 512 to 65536, default 4356 or 16644",
     "Negligible or none: it sizes the SMB1 server's buffer for serving shares, SMB1 is not installed by "
     "default on Windows 11 nor on Windows 10 other than Home and Pro, and its REG_SZ handling is unknown.",
     U, "S20,S21,S22"},
    {"MTU", "Windows 2000, XP and Server 2003, per interface; Vista and later unknown",
     "REG_DWORD, 68 up to the link MTU",
     "None: the key is named by one PC's interface GUID, which matches no adapter on any other PC; 1500 is "
     "the Ethernet default anyway.",
     U, "S9,S23,S24,S25,S26"},
});
static_assert(kEffects.size() == kPlanValues, "one effect for each value the plan writes");

}  // namespace

const char* confidenceLabel(Confidence confidence)
{
    switch (confidence) {
    case Confidence::Documented: return "documented";
    case Confidence::WidelyReported: return "widely reported";
    case Confidence::Unconfirmed: return "unconfirmed";
    }
    return "unconfirmed";
}

const std::array<ValueEffect, kPlanValues>& valueEffects()
{
    return kEffects;
}

const ValueEffect& effectOf(const PlanEntry& entry)
{
    for (const ValueEffect& e : kEffects)
        if (std::strcmp(e.valueName, entry.valueName) == 0)
            return e;
    throw std::logic_error(std::string("no effect recorded for ") + entry.valueName);
}

}  // namespace ferro
