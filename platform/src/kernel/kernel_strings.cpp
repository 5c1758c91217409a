// The kernel's string helpers. Null pointers are tolerated where Windows
// tolerates them (its versions catch the fault and fail quietly).
#include <winbase.h>

#include <cctype>
#include <cstring>

extern "C" {

int WINAPI lstrlenA(LPCSTR lpString) {
    return lpString ? static_cast<int>(std::strlen(lpString)) : 0;
}

LPSTR WINAPI lstrcpyA(LPSTR lpString1, LPCSTR lpString2) {
    if (!lpString1 || !lpString2) return nullptr;
    return std::strcpy(lpString1, lpString2);
}

// Copies at most iMaxLength - 1 characters and always ends the copy.
LPSTR WINAPI lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength) {
    if (!lpString1 || !lpString2 || iMaxLength <= 0) return lpString1;
    int i = 0;
    for (; i < iMaxLength - 1 && lpString2[i]; ++i)
        lpString1[i] = lpString2[i];
    lpString1[i] = '\0';
    return lpString1;
}

LPSTR WINAPI lstrcatA(LPSTR lpString1, LPCSTR lpString2) {
    if (!lpString1 || !lpString2) return nullptr;
    return std::strcat(lpString1, lpString2);
}

int WINAPI lstrcmpA(LPCSTR lpString1, LPCSTR lpString2) {
    const int order = std::strcmp(lpString1 ? lpString1 : "", lpString2 ? lpString2 : "");
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2) {
    const unsigned char* a = reinterpret_cast<const unsigned char*>(lpString1 ? lpString1 : "");
    const unsigned char* b = reinterpret_cast<const unsigned char*>(lpString2 ? lpString2 : "");
    for (;; ++a, ++b) {
        const int x = std::tolower(*a), y = std::tolower(*b);
        if (x != y) return x < y ? -1 : 1;
        if (!x) return 0;
    }
}

// nNumber * nNumerator / nDenominator with a 64-bit product, rounded half away
// from zero; -1 when the divisor is 0 or the result does not fit.
int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator) {
    if (nDenominator == 0) return -1;
    const int64_t product = int64_t(nNumber) * nNumerator;
    const int64_t divisor = nDenominator;
    const bool negative = (product < 0) != (divisor < 0);
    const uint64_t magnitude = product < 0 ? uint64_t(-product) : uint64_t(product);
    const uint64_t by = divisor < 0 ? uint64_t(-divisor) : uint64_t(divisor);
    const uint64_t rounded = (magnitude + by / 2) / by;
    if (rounded > (negative ? 2147483648ull : 2147483647ull)) return -1;
    return negative ? static_cast<int>(-int64_t(rounded)) : static_cast<int>(rounded);
}

} // extern "C"
