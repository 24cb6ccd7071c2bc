#include "ships/flight.h"

#include "ships_fixture.h"

namespace {

const float TWO_PI = 6.2831855f;

class FlightTest : public ShipsTest {
  protected:
    ship s{};
};

TEST_F(FlightTest, ForwardFromRestReachesTopSpeedInAboutHalfASecondAndStaysThere) {
    const float dt = 1.0f / 60.0f;
    thrust_step(w.settings, s, true, false, dt);
    EXPECT_FLOAT_EQ(s.speed, 550.0f * dt);
    int frames = 1;
    while (s.speed < 280.0f && frames < 1000) {
        thrust_step(w.settings, s, true, false, dt);
        ++frames;
    }
    EXPECT_NEAR(frames * dt, 0.51f, 0.02f);
    for (int i = 0; i < 120; ++i) {
        thrust_step(w.settings, s, true, false, dt);
        ASSERT_EQ(s.speed, 280.0f);
    }
}

TEST_F(FlightTest, BackwardClampsThenDecaysUpToExactlyZero) {
    for (int i = 0; i < 50; ++i) thrust_step(w.settings, s, false, true, 0.02f);
    EXPECT_EQ(s.speed, -60.0f);
    thrust_step(w.settings, s, false, false, 0.02f);
    EXPECT_FLOAT_EQ(s.speed, -56.0f); // 200 units/s^2
    int frames = 1;
    while (s.speed != 0.0f && frames < 100) {
        thrust_step(w.settings, s, false, false, 0.02f);
        ASSERT_LE(s.speed, 0.0f);
        ++frames;
    }
    EXPECT_EQ(s.speed, 0.0f);
    EXPECT_NEAR(frames * 0.02f, 0.3f, 0.021f);
}

TEST_F(FlightTest, DecayNeverOvershootsZero) {
    s.speed = 5.0f; // below 450 * 0.02
    thrust_step(w.settings, s, false, false, 0.02f);
    EXPECT_EQ(s.speed, 0.0f);
    s.speed = -3.0f; // above -200 * 0.02
    thrust_step(w.settings, s, false, false, 0.02f);
    EXPECT_EQ(s.speed, 0.0f);
    s.speed = 100.0f;
    thrust_step(w.settings, s, false, false, 0.02f);
    EXPECT_FLOAT_EQ(s.speed, 91.0f);
}

TEST_F(FlightTest, BothThrustControlsCancelWithoutDecayUnlessTheClampBites) {
    s.speed = 100.0f;
    thrust_step(w.settings, s, true, true, 0.02f);
    EXPECT_FLOAT_EQ(s.speed, 100.0f);
    // Forward is clamped at 280 before backward takes its 11 away.
    s.speed = 275.0f;
    thrust_step(w.settings, s, true, true, 0.02f);
    EXPECT_FLOAT_EQ(s.speed, 269.0f);
}

TEST_F(FlightTest, AShipAtRestNeverDrifts) {
    s.x = 300.0f;
    s.y = 200.0f;
    for (int i = 0; i < 100; ++i) {
        thrust_step(w.settings, s, false, false, 0.016f);
        turn_step(w.settings, s, false, false, 0.016f);
        integrate_ship(s, 0.016f, 1100.0f);
    }
    EXPECT_EQ(s.speed, 0.0f);
    EXPECT_EQ(s.rotate_speed, 0.0f);
    EXPECT_EQ(s.x, 300.0f);
    EXPECT_EQ(s.y, 200.0f);
}

TEST_F(FlightTest, TurnLimitsDecayAndCancelling) {
    s.flexibility = 5;
    for (int i = 0; i < 50; ++i) turn_step(w.settings, s, true, false, 0.02f);
    EXPECT_FLOAT_EQ(s.rotate_speed, 2.6f);
    for (int i = 0; i < 50; ++i) turn_step(w.settings, s, false, true, 0.02f);
    EXPECT_FLOAT_EQ(s.rotate_speed, -2.6f);

    s.flexibility = 0;
    s.rotate_speed = 0.5f;
    turn_step(w.settings, s, true, true, 0.02f);
    EXPECT_FLOAT_EQ(s.rotate_speed, 0.5f);
    turn_step(w.settings, s, false, false, 0.02f);
    EXPECT_FLOAT_EQ(s.rotate_speed, 0.35f); // 7.5 rad/s^2
    s.rotate_speed = -0.1f;
    turn_step(w.settings, s, false, false, 0.02f);
    EXPECT_EQ(s.rotate_speed, 0.0f);
}

TEST_F(FlightTest, FlexibilityOutsideTheTablesUsesTheNearestRow) {
    s.flexibility = 9;
    for (int i = 0; i < 100; ++i) thrust_step(w.settings, s, true, false, 0.02f);
    EXPECT_EQ(s.speed, 400.0f);
    s.flexibility = -3;
    thrust_step(w.settings, s, true, false, 0.02f);
    EXPECT_EQ(s.speed, 280.0f);
}

TEST_F(FlightTest, MovesAlongTheHeadingAfterThisFramesTurn) {
    s.x = 500.0f;
    s.y = 500.0f;
    s.speed = 100.0f;
    s.rotate_speed = 1.5707964f;
    integrate_ship(s, 1.0f, 1100.0f);
    EXPECT_NEAR(s.x, 500.0f, 1e-3f);
    EXPECT_NEAR(s.y, 600.0f, 1e-3f);
    EXPECT_NEAR(s.side_x, -1.0f, 1e-6f);
    EXPECT_NEAR(s.side_y, 0.0f, 1e-6f);
}

TEST_F(FlightTest, WrapsOncePerAxisAndLeavesTheEdgesAlone) {
    s.x = 1099.0f;
    s.y = 10.0f;
    s.speed = 100.0f;
    integrate_ship(s, 0.02f, 1100.0f);
    EXPECT_NEAR(s.x, 1.0f, 1e-3f);
    EXPECT_EQ(s.y, 10.0f);

    s.x = 10.0f;
    s.y = 0.5f;
    s.angle = 4.712389f; // up the screen
    integrate_ship(s, 0.02f, 1100.0f);
    EXPECT_NEAR(s.y, 1098.5f, 1e-3f);

    s.speed = 0.0f;
    s.x = 0.0f;
    s.y = 1100.0f;
    integrate_ship(s, 0.02f, 1100.0f);
    EXPECT_EQ(s.x, 0.0f);
    EXPECT_EQ(s.y, 1100.0f);
}

TEST_F(FlightTest, HeadingIsKeptInZeroToTwoPi) {
    s.angle = -0.1f;
    integrate_ship(s, 0.02f, 1100.0f);
    EXPECT_EQ(s.angle, TWO_PI + -0.1f);
    s.angle = 6.4f;
    integrate_ship(s, 0.02f, 1100.0f);
    EXPECT_EQ(s.angle, 6.4f - TWO_PI);
    s.angle = 0.0f;
    integrate_ship(s, 0.02f, 1100.0f);
    EXPECT_EQ(s.angle, 0.0f);
    s.angle = TWO_PI;
    integrate_ship(s, 0.02f, 1100.0f);
    EXPECT_EQ(s.angle, TWO_PI);
}

} // namespace
