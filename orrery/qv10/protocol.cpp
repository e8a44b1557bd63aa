#include "orrery/qv10/protocol.h"

namespace orrery::qv {

namespace {

struct CommandShape {
    char first, second;
    int parameters;
};

// Commands both sides of the link know, with their parameter byte counts.
constexpr CommandShape kCommands[] = {
    {'Q', 'R', 0}, {'Q', 'E', 0}, {'Q', 'X', 0}, {'D', 'U', 0}, {'C', 'B', 1},
    {'M', 'P', 0}, {'D', 'A', 1}, {'D', 'L', 0}, {'M', 'K', 0}, {'M', 'G', 0},
    {'M', 'g', 0}, {'M', 'H', 0}, {'D', 'J', 0}, {'D', 'F', 2}, {'D', 'D', 0},
    {'D', 'I', 1}, {'D', 'Y', 2}, {'D', 'j', 1}, {'D', 'R', 0}, {'D', 'S', 1},
    {'S', 'U', 0}, {'R', 'B', 4}, {'P', 'P', 2},
};

const CommandShape* find(char first, char second) {
    for (const CommandShape& shape : kCommands)
        if (shape.first == first && shape.second == second) return &shape;
    return nullptr;
}

}  // namespace

int parameterCount(char first, char second) {
    const CommandShape* shape = find(first, second);
    return shape ? shape->parameters : -1;
}

Speed speedForIndex(int index) {
    switch (index) {
    case 1: return {22, 19200};
    case 2: return {11, 38400};
    case 3: return {7, 57600};
    case 4:
    case 5: return {3, 115200};
    default: return kSpeed9600;
    }
}

Speed slowerSpeed(Speed speed) {
    for (int index = 5; index >= 1; --index) {
        Speed s = speedForIndex(index);
        if (s.baud < speed.baud) return s;
    }
    return kSpeed9600;
}

int baudForCode(uint8_t code) {
    for (int index = 0; index <= 5; ++index)
        if (speedForIndex(index).code == code) return speedForIndex(index).baud;
    return 0;
}

}  // namespace orrery::qv
