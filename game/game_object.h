// The small generic game object the game controller extends: a state, the
// final score and the current player's number.
#pragma once

#include <cstdint>

class GameObject {
public:
    GameObject() = default;
    virtual ~GameObject() = default;

    virtual void Reset() {}
    virtual void Release() {}
    virtual int32_t Frame() { return -1; }
    virtual int32_t State() const { return state; }
    virtual void SetState(int32_t value) { state = value; }
    virtual void SetFinalScore(int32_t value) { finalScore = value; }
    virtual int32_t FinalScore() const { return finalScore; }
    virtual int32_t PlayerSlot() const { return playerSlot; }
    virtual void SetPlayerSlot(int32_t value) { playerSlot = value; }

protected:
    int32_t state = 0;
    int32_t finalScore = 0;
    int32_t playerSlot = 0;
};
