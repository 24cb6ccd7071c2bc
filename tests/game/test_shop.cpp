#include "game/shop.h"
#include "game_fixture.h"

namespace {

class ShopTest : public GameTest {
protected:
    void buy(std::initializer_list<int> keys) {
        for (int k : keys) fake.press(k);
        fake.begin_frame();
        shop_purchases();
        for (int k : keys) fake.release(k);
        fake.begin_frame();
    }
};

TEST_F(ShopTest, KeysAreTestedInOrderWithinOneFrame) {
    money = 130;
    buy({HGEK_F4, HGEK_F3, HGEK_F2});
    EXPECT_EQ(ship_records[0].flexibility, 1);
    EXPECT_EQ(ship_records[0].firepower, 0);
    EXPECT_EQ(ship_records[0].shield, 1);
    EXPECT_EQ(money, 55);
    EXPECT_EQ(fake.played.size(), 2u);
}

TEST_F(ShopTest, ExactMoneyBuysAndLeavesNothing) {
    money = 100;
    buy({HGEK_F3});
    EXPECT_EQ(ship_records[0].firepower, 1);
    EXPECT_EQ(money, 0);
    buy({HGEK_F1});
    EXPECT_EQ(ship_records[0].ships, 0);
    EXPECT_TRUE(fake.played.size() == 1u);
}

TEST_F(ShopTest, PricesFollowTheCurrentLevel) {
    money = 1000;
    ship_records[0].shield = 3;
    buy({HGEK_F4});
    EXPECT_EQ(money, 850);
    EXPECT_EQ(ship_records[0].shield, 4);
}

TEST_F(ShopTest, LimitsRefuseSilently) {
    money = 5000;
    ship_records[0].ships = 99;
    ship_records[0].flexibility = 5;
    buy({HGEK_F1, HGEK_F2});
    EXPECT_EQ(ship_records[0].ships, 99);
    EXPECT_EQ(ship_records[0].flexibility, 5);
    EXPECT_EQ(money, 5000);
    EXPECT_TRUE(fake.played.empty());
    ship_records[0].ships = 98;
    buy({HGEK_F1});
    EXPECT_EQ(ship_records[0].ships, 99);
    EXPECT_EQ(money, 4990);
}

TEST_F(ShopTest, BothShipsRiseOnShipZerosTestAndStayInRange) {
    money = 5000;
    ship_records[1].firepower = 5; // a password gave ship 0 lower levels than ship 1
    ship_records[0].firepower = 2;
    buy({HGEK_F3});
    EXPECT_EQ(ship_records[0].firepower, 3);
    EXPECT_EQ(ship_records[1].firepower, 5);
    ship_records[1].shield = 0;
    buy({HGEK_F4});
    EXPECT_EQ(ship_records[1].shield, 1);
}

TEST_F(ShopTest, EachRivalBuysFromItsOwnPurseForItsOwnShip) {
    game_mode = MODE_COMPETITION;
    money = 5000; // the shared money buys nothing in a match
    purse[0] = 60;
    purse[1] = 130;
    for (int p = 0; p < 2; ++p) ship_records[p].ships = 3;
    // Ship 0's keys: ships (10) and flexibility (50) leave 0; firepower is refused.
    buy({HGEK_F1, HGEK_F2, HGEK_F3});
    // Ship 1's keys: firepower (100) and shield (25) leave 5.
    buy({'3', '4'});
    EXPECT_EQ(purse[0], 0);
    EXPECT_EQ(purse[1], 5);
    EXPECT_EQ(money, 5000);
    EXPECT_EQ(ship_records[0].ships, 4);
    EXPECT_EQ(ship_records[0].flexibility, 1);
    EXPECT_EQ(ship_records[0].firepower, 0);
    EXPECT_EQ(ship_records[0].shield, 0);
    EXPECT_EQ(ship_records[1].ships, 3);
    EXPECT_EQ(ship_records[1].flexibility, 0);
    EXPECT_EQ(ship_records[1].firepower, 1);
    EXPECT_EQ(ship_records[1].shield, 1);
    EXPECT_EQ(fake.played.size(), 4u);
    // Ship 0's F keys never spend ship 1's purse.
    buy({HGEK_F4});
    EXPECT_EQ(ship_records[0].shield, 0);
    EXPECT_EQ(purse[1], 5);
}

} // namespace
