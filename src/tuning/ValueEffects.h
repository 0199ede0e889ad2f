#pragma once
// What Windows does with each value the tuning plan writes: who reads it, the
// type its reader expects, what the plan's datum does on Windows 10 and 11,
// and how sure that is. The sources (S1, S2, ...) are listed in docs/values.md.
#include <array>

#include "tuning/TuningPlan.h"

namespace ferro {

enum class Confidence {
    Documented,      // Microsoft or another primary source says so
    WidelyReported,  // secondary sources only
    Unconfirmed,     // no source found, or an inference
};

// "documented", "widely reported", "unconfirmed".
const char* confidenceLabel(Confidence confidence);

// What is known of a value on one of the older systems the 32-bit program runs on.
struct OlderWindowsEffect {
    bool read;              // that system reads the value where the plan writes it
    const char* text;       // what is known, one sentence
    Confidence confidence;  // of that
    const char* sources;    // source keys, comma-separated
};

struct ValueEffect {
    const char* valueName;     // the plan's value name (unique within the plan)
    const char* readBy;        // which Windows versions or components read it
    const char* expectedType;  // the type and range its reader expects
    const char* effect;        // what the plan's datum does on Windows 10/11
    Confidence confidence;     // of that effect
    const char* sources;       // source keys, comma-separated: "S1,S8"
    OlderWindowsEffect on98Me;    // on Windows 98 (98 SE included) and Me
    OlderWindowsEffect on2000Xp;  // on Windows 2000 and XP
};

// The whole table: the programs look up one row at a time (effectOf), the
// tests check every row against the plan and the documents.
const std::array<ValueEffect, kPlanValues>& valueEffects();

// The effect of the value a plan entry writes; every entry has one.
const ValueEffect& effectOf(const PlanEntry& entry);

}  // namespace ferro
