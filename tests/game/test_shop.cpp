#include "game/shop.h"
#include "game_fixture.h"

namespace {

class ShopTest : public GameTest {
protected:
  // One frame of the shop with these keys going down.
  void buy(std::initializer_list<int> pressed) {
      KeyFrame k;
      for (int key : pressed) apply_key_change(k, key, true);
      shop_purchases(w, k);
  }
  // Sounds given out since the test began; each must be a purchase's.
  size_t purchase_sounds() const {
      for (const Event& e : w.events) {
          EXPECT_EQ(e.kind, EVENT_SOUND);
          EXPECT_EQ(e.sound, SOUND_UPGRADE);
      }
      return w.events.size();
  }
};

TEST_F(ShopTest, KeysAreTestedInOrderWithinOneFrame) {
    w.money = 130;
    buy({HGEK_F4, HGEK_F3, HGEK_F2});
    EXPECT_EQ(w.ship_records[0].flexibility, 1);
    EXPECT_EQ(w.ship_records[0].firepower, 0);
    EXPECT_EQ(w.ship_records[0].shield, 1);
    EXPECT_EQ(w.money, 55);
    EXPECT_EQ(purchase_sounds(), 2u);
}

TEST_F(ShopTest, ExactMoneyBuysAndLeavesNothing) {
    w.money = 100;
    buy({HGEK_F3});
    EXPECT_EQ(w.ship_records[0].firepower, 1);
    EXPECT_EQ(w.money, 0);
    buy({HGEK_F1});
    EXPECT_EQ(w.ship_records[0].ships, 0);
    EXPECT_TRUE(purchase_sounds() == 1u);
}

TEST_F(ShopTest, PricesFollowTheCurrentLevel) {
    w.money = 1000;
    w.ship_records[0].shield = 3;
    buy({HGEK_F4});
    EXPECT_EQ(w.money, 850);
    EXPECT_EQ(w.ship_records[0].shield, 4);
}

TEST_F(ShopTest, LimitsRefuseSilently) {
    w.money = 5000;
    w.ship_records[0].ships = 99;
    w.ship_records[0].flexibility = 5;
    buy({HGEK_F1, HGEK_F2});
    EXPECT_EQ(w.ship_records[0].ships, 99);
    EXPECT_EQ(w.ship_records[0].flexibility, 5);
    EXPECT_EQ(w.money, 5000);
    EXPECT_TRUE(purchase_sounds() == 0u);
    w.ship_records[0].ships = 98;
    buy({HGEK_F1});
    EXPECT_EQ(w.ship_records[0].ships, 99);
    EXPECT_EQ(w.money, 4990);
}

TEST_F(ShopTest, BothShipsRiseOnShipZerosTestAndStayInRange) {
    w.money = 5000;
    w.ship_records[1].firepower = 5; // a password gave ship 0 lower levels than ship 1
    w.ship_records[0].firepower = 2;
    buy({HGEK_F3});
    EXPECT_EQ(w.ship_records[0].firepower, 3);
    EXPECT_EQ(w.ship_records[1].firepower, 5);
    w.ship_records[1].shield = 0;
    buy({HGEK_F4});
    EXPECT_EQ(w.ship_records[1].shield, 1);
}

TEST_F(ShopTest, EachRivalBuysFromItsOwnPurseForItsOwnShip) {
    w.game_mode = MODE_COMPETITION;
    w.money = 5000; // the shared money buys nothing in a match
    w.purse[0] = 60;
    w.purse[1] = 130;
    for (int p = 0; p < 2; ++p) w.ship_records[p].ships = 3;
    // Ship 0's keys: ships (10) and flexibility (50) leave 0; firepower is refused.
    buy({HGEK_F1, HGEK_F2, HGEK_F3});
    // Ship 1's keys: firepower (100) and shield (25) leave 5.
    buy({'3', '4'});
    EXPECT_EQ(w.purse[0], 0);
    EXPECT_EQ(w.purse[1], 5);
    EXPECT_EQ(w.money, 5000);
    EXPECT_EQ(w.ship_records[0].ships, 4);
    EXPECT_EQ(w.ship_records[0].flexibility, 1);
    EXPECT_EQ(w.ship_records[0].firepower, 0);
    EXPECT_EQ(w.ship_records[0].shield, 0);
    EXPECT_EQ(w.ship_records[1].ships, 3);
    EXPECT_EQ(w.ship_records[1].flexibility, 0);
    EXPECT_EQ(w.ship_records[1].firepower, 1);
    EXPECT_EQ(w.ship_records[1].shield, 1);
    EXPECT_EQ(purchase_sounds(), 4u);
    // Ship 0's F keys never spend ship 1's purse.
    buy({HGEK_F4});
    EXPECT_EQ(w.ship_records[0].shield, 0);
    EXPECT_EQ(w.purse[1], 5);
}

} // namespace
