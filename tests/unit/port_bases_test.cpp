// The rule for the port bases the bus may drive: the three standard ones
// always, any other only where the system lists a parallel port.
#include <gtest/gtest.h>

#include "wire/port_bases.h"

TEST(PortBases, StandardBasesAlwaysAndOthersOnlyWhereAPortIsListed)
{
    const int pciCards[] = {0xD010, 0xE800, 700};
    struct Case {
        int base;
        bool withoutList;
        bool withCards;
    } cases[] = {
        {632, true, true},
        {888, true, true},
        {956, true, true},
        {0xD010, false, true},
        {0xE800, false, true},
        {700, false, true},
        {0xD011, false, false}, // next to a listed base is not it
        {3319, false, false},   // control register 0xCF9: reset control
        {0x1F0, false, false},  // disk controller
        {0x3F8, false, false},  // serial port
        {0x60, false, false},   // keyboard controller
        {0, false, false},
        {-1, false, false},
        {888 + 65536, false, false}, // wraps to 0x378 in 16 bits, but is not 888
        {0xFFFD, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.base);
        EXPECT_EQ(portBaseIsStandard(c.base), c.withoutList);
        EXPECT_EQ(portBaseAllowed(c.base, nullptr, 0), c.withoutList);
        EXPECT_EQ(portBaseAllowed(c.base, pciCards, 3), c.withCards);
    }
    // Only the first listedCount entries count.
    EXPECT_FALSE(portBaseAllowed(700, pciCards, 2));
    EXPECT_TRUE(portBaseAllowed(0xE800, pciCards, 2));
}
