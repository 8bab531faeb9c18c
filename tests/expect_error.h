// Checks that a call raises exactly the given exception class with exactly
// the given message: the message is part of the interface.
#pragma once

#include <gtest/gtest.h>

#include <string>

#define EXPECT_THROW_MSG(statement, ExceptionClass, expected_message)              \
  do {                                                                             \
    try {                                                                          \
      statement;                                                                   \
      ADD_FAILURE() << "no " #ExceptionClass " from " #statement;                  \
    } catch (const ExceptionClass& error) {                                        \
      EXPECT_EQ(std::string(error.ClassName()), #ExceptionClass);                  \
      EXPECT_EQ(error.Message(), std::string(expected_message));                   \
    }                                                                              \
  } while (false)
