#pragma once
// Failures of the toolkit. what() is the message, exactly as callers print it.

#include <stdexcept>
#include <string>

// Every failure the toolkit reports.
class TError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be opened or written; the message names the file.
class TFileError : public TError {
public:
    using TError::TError;
};
