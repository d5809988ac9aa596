#!/usr/bin/env python3
# Greets the user.
import sys


def greet(name):
    """Says hello."""
    print("hello", name)  # to stdout
    return len(name)
