// Gives every library at least one translation unit.
