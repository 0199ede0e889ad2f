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
     "S1,S4,S5,S8,S25",
     {true, "Read as a decimal string, as written; the restart applies it.", D, "S1"},
     {false, "Not read: no NT-family reader of VxD\\MSTCP is documented.", U, "S25"}},
    {"DefaultTTL", "Windows 95, 98 and Me", "a string, 1 to 255",
     "None known: no NT-family reader of this key is documented; Windows 10/11 take the TTL from "
     "Tcpip\\Parameters (a DWORD).",
     U, "S1,S5",
     {true, "Read as a string; 64 replaces the reported default of 32 at the restart.", W, "S5"},
     {false, "Not read: the NT stack takes its TTL from Tcpip\\Parameters (a DWORD).", W, "S5,S25"}},
    {"PMTUDiscovery", "Windows 95, 98 and Me", "the string \"0\" or \"1\", default \"1\"",
     "None: even Windows 95/98/Me, which read it, already default to \"1\".", D, "S2",
     {true, "Read, but \"1\" is already the default: no change.", D, "S2"},
     {false, "Not read: no NT-family reader of VxD\\MSTCP is documented.", U, "S25"}},
    {"PMTUBlackHoleDetect", "Windows 95, 98 and Me", "the string \"0\" or \"1\", default \"0\"",
     "None: even Windows 95/98/Me, which read it, already default to \"0\".", D, "S2",
     {true, "Read, but \"0\" is already the default: no change.", D, "S2"},
     {false, "Not read: no NT-family reader of VxD\\MSTCP is documented.", U, "S25"}},
    {"Tcp1323Opts", "Windows 98 and Me (sources disagree on the Parameters subkey)", "the string 0, 1 or 3",
     "None known: no NT-family reader of this key is documented; Windows 10/11 read Tcp1323Opts from "
     "Tcpip\\Parameters as a REG_DWORD.",
     U, "S4,S5,S10b",
     {true, "Read as a string (3: window scaling and timestamps) at the restart, though the sources disagree on whether the Parameters subkey is where it is read.", U, "S4,S5"},
     {false, "Not read here: 2000 and XP read Tcp1323Opts from Tcpip\\Parameters, as a REG_DWORD.", D, "S10b"}},
    {"SackOpts", "Windows 98 and Me (sources disagree on the Parameters subkey)", "the string 0 or 1",
     "None known: no NT-family reader of this key is documented; Windows 10/11 read SackOpts (default 1) "
     "from Tcpip\\Parameters as a REG_DWORD.",
     U, "S4,S5,S6,S10b",
     {true, "Read as a string at the restart (the same dispute over the Parameters subkey); SACK is reported to be on by default already.", U, "S4,S5,S6"},
     {false, "Not read here: 2000 and XP read SackOpts from Tcpip\\Parameters, as a REG_DWORD.", D, "S10b"}},
    {"MaxDupAcks", "Windows 98 and Me", "a string (default reported as 3)",
     "None known: no NT-family reader of this key is documented; the NT stack's value is TcpMaxDupAcks "
     "(REG_DWORD, default 2) in Tcpip\\Parameters.",
     U, "S5,S6,S27",
     {true, "Read as a string at the restart; 2 replaces the reported default of 3.", W, "S5,S6"},
     {false, "Not read: the NT stack's value is TcpMaxDupAcks in Tcpip\\Parameters.", D, "S27"}},
    {"MaxConnectionsPer1_0Server", "WinINet (Internet Explorer and WinINet apps), Windows 10/11 included",
     "REG_DWORD",
     "Probably none: how WinINet treats the text \"dword:00000010\" is undocumented, so expect its default "
     "(6 on broadband); only WinINet clients could notice.",
     U, "S12,S13,S14,S15,S16",
     {false, "WinINet (Internet Explorer) reads a REG_DWORD here; how it treats the text \"dword:00000010\" is undocumented.", U, "S12,S14"},
     {false, "WinINet (Internet Explorer) reads a REG_DWORD here; how it treats the text \"dword:00000010\" is undocumented.", U, "S12,S14"}},
    {"MaxConnectionsPerServer", "WinINet (Internet Explorer and WinINet apps), Windows 10/11 included",
     "REG_DWORD",
     "Probably none: how WinINet treats the text \"dword:00000010\" is undocumented, so expect its default "
     "(6 on broadband); only WinINet clients could notice.",
     U, "S13,S14,S15,S16",
     {false, "WinINet (Internet Explorer) reads a REG_DWORD here; how it treats the text \"dword:00000010\" is undocumented.", U, "S13,S14"},
     {false, "WinINet (Internet Explorer) reads a REG_DWORD here; how it treats the text \"dword:00000010\" is undocumented.", U, "S13,S14"}},
    {"internetMTU", "Internet Connection Sharing of Windows 98 SE and Me", "unknown",
     "None known: connection sharing since Windows 2000 is a different component, and no NT reader of this "
     "key is documented.",
     U, "S17,S17b,S18",
     {true, "Read by Internet Connection Sharing of 98 SE and Me (98 has none), at the restart.", W, "S17,S17b"},
     {false, "Not read: connection sharing of 2000 and XP is a different component.", U, "S18"}},
    {"TcpWindowSize", "Windows NT 4, 2000, XP and Server 2003", "REG_DWORD, 0 to 0x3FFFFFFF",
     "None: since Vista this entry is not used, and Microsoft lists it among the ignored settings.", D,
     "S8,S9,S10",
     {false, "Not read: Tcpip\\Parameters is the NT stack's key.", U, "S10,S25"},
     {false, "Read, as a REG_DWORD; whether the REG_SZ written is honoured is unknown, probably not.", U, "S10"}},
    {"GlobalMaxTcpWindowSize", "Windows 2000, XP and Server 2003", "REG_DWORD, 0 to 0x3FFFFFFF",
     "None reported: since Vista autotuning, not the registry, sets the receive window, though this value "
     "is not on Microsoft's list of ignored settings.",
     W, "S3,S8,S11",
     {false, "Not read: 98 reads a misspelled GlobalMaxTcpWindoSize under VxD\\MSTCP\\Parameters instead.", D, "S3"},
     {false, "Read, as a REG_DWORD; whether the REG_SZ written is honoured is unknown.", U, "S11"}},
    {"LocalPriority", "Windows NT 3.5x and 95, 98/Me elsewhere; not NT 4.0; 2000 to 11 unknown",
     "DWORD or BINARY, -32768 to 32767, lower first",
     "None shown: no reader since Vista is documented, and 5, 6, 7, 8 keep the default order local, hosts, "
     "DNS, NetBT.",
     U, "S19a,S19b,S19c,S19d",
     {false, "Not read here: 98 and Me read the priorities under VxD\\MSTCP\\ServiceProvider.", D, "S19b,S19d"},
     {false, "Unknown: NT 4.0 does not implement them, and no reader in 2000 or XP is documented.", U, "S19c"}},
    {"HostsPriority", "Windows NT 3.5x and 95, 98/Me elsewhere; not NT 4.0; 2000 to 11 unknown",
     "DWORD or BINARY, -32768 to 32767, lower first",
     "None shown: no reader since Vista is documented, and 5, 6, 7, 8 keep the default order local, hosts, "
     "DNS, NetBT.",
     U, "S19a,S19b,S19c,S19d",
     {false, "Not read here: 98 and Me read the priorities under VxD\\MSTCP\\ServiceProvider.", D, "S19b,S19d"},
     {false, "Unknown: NT 4.0 does not implement them, and no reader in 2000 or XP is documented.", U, "S19c"}},
    {"DnsPriority", "Windows NT 3.5x and 95, 98/Me elsewhere; not NT 4.0; 2000 to 11 unknown",
     "DWORD or BINARY, -32768 to 32767, lower first",
     "None shown: no reader since Vista is documented, and 5, 6, 7, 8 keep the default order local, hosts, "
     "DNS, NetBT.",
     U, "S19a,S19b,S19c,S19d",
     {false, "Not read here: 98 and Me read the priorities under VxD\\MSTCP\\ServiceProvider.", D, "S19b,S19d"},
     {false, "Unknown: NT 4.0 does not implement them, and no reader in 2000 or XP is documented.", U, "S19c"}},
    {"NetbtPriority", "Windows NT 3.5x and 95, 98/Me elsewhere; not NT 4.0; 2000 to 11 unknown",
     "DWORD or BINARY, -32768 to 32767, lower first",
     "None shown: no reader since Vista is documented, and 5, 6, 7, 8 keep the default order local, hosts, "
     "DNS, NetBT.",
     U, "S19a,S19b,S19c,S19d",
     {false, "Not read here: 98 and Me read the priorities under VxD\\MSTCP\\ServiceProvider.", D, "S19b,S19d"},
     {false, "Unknown: NT 4.0 does not implement them, and no reader in 2000 or XP is documented.", U, "S19c"}},
    {"SizReqBuf", "the Server service (the SMB server side)", "REG_DWORD, 512 to 65536, default 4356 or 16644",
     "Negligible or none: it sizes the SMB1 server's buffer for serving shares, SMB1 is not installed by "
     "default on Windows 11 nor on Windows 10 other than Home and Pro, and its REG_SZ handling is unknown.",
     U, "S20,S21,S22",
     {false, "Unknown: this is the NT Server service's value.", U, "S20"},
     {false, "Read by the Server service as a REG_DWORD that sizes SMB1 buffers for serving shares; its REG_SZ handling is unknown.", U, "S20,S21"}},
    {"MTU", "Windows 2000, XP and Server 2003, per interface; Vista and later unknown",
     "REG_DWORD, 68 up to the link MTU",
     "None: the key is named by one PC's interface GUID, which matches no adapter on any other PC; 1500 is "
     "the Ethernet default anyway.",
     U, "S9,S23,S24,S25,S26",
     {false, "Not read: Tcpip\\Parameters\\Interfaces is the NT stack's key.", U, "S25"},
     {false, "Read per interface, but the key is named by one PC's interface GUID, which matches no adapter on any other PC.", U, "S23,S24"}},
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
