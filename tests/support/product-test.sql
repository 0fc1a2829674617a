-- The tests' product table is the program's (scripts/product.sql) plus what the program
-- must cope with on a real shop's server: a column that the server fills on its own.
ALTER TABLE product MODIFY updated DATETIME NULL DEFAULT CURRENT_TIMESTAMP;
