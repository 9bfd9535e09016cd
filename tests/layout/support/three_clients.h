// The client/server fixture shared by the tessel and tesselfix tests: the
// subsystem sys.ss with p and q, and three clients c1 to c3, as a TA file
// and as the layout tessel -m2 gives it in 800 by 600.
//
// $ROOT's children in bucket order: c1 (148), c2, c3, sys.ss (627).  The
// clients want the slots of p (1), q (2) and p (1): c3 moves to slot 3.
// Slot 800 / 3 = 266, half 66.5, box 133 wide and 79.8 high, capped to 50 by
// 50 * 1.666.  The subsystem is 25, 100, 750, 400; p and q are one level of
// two slots inside it: cells 250 by 200, boxes 150 by 90.
#pragma once

#include <string>

#include "layout_records.h"

namespace layout_test {

inline const std::string kThreeClientsTa =
    "FACT TUPLE :\n"
    "$INSTANCE sys.ss cSubsystem\n$INSTANCE p cFunction\n$INSTANCE q cFunction\n"
    "$INSTANCE c1 cFile\n$INSTANCE c2 cFile\n$INSTANCE c3 cFile\n"
    "contain sys.ss p\ncontain sys.ss q\n"
    "call c1 p\ncall c2 q\ncall c3 p\n";

inline const std::string kRoot800x600 = record("$ROOT", "0.000000", "0.000000", "800.000000", "600.000000");

inline const std::string kThreeClientsRows =
    record("c1", "66.500000", "25.000000", "83.300003", "50.000000") +
    record("c2", "332.500000", "25.000000", "83.300003", "50.000000") +
    record("c3", "598.500000", "25.000000", "83.300003", "50.000000");

inline const std::string kThreeClientsSubsystem =
    record("sys.ss", "25.000000", "100.000000", "750.000000", "400.000000") +
    record("p", "100.000000", "110.000000", "150.000000", "90.000000") +
    record("q", "350.000000", "110.000000", "150.000000", "90.000000");

inline const std::string kThreeClientsLayout = kRoot800x600 + kThreeClientsRows + kThreeClientsSubsystem;

}  // namespace layout_test
