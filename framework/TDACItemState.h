#pragma once
// The edit state of a persistent item.

namespace parvela {

// Ordinal values 0 to 4.
enum TDACItemState { isUnknown, isBrowse, isEdited, isInserted, isDeleted };

inline bool IsKnownItemState(TDACItemState state) {
    return state >= isUnknown && state <= isDeleted;
}

inline const char* ItemStateName(TDACItemState state) {
    switch (state) {
    case isUnknown:
        return "isUnknown";
    case isBrowse:
        return "isBrowse";
    case isEdited:
        return "isEdited";
    case isInserted:
        return "isInserted";
    case isDeleted:
        return "isDeleted";
    }
    return "?";
}

} // namespace parvela
