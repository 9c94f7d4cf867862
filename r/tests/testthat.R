library(testthat)
library(quorvane)

test_check("quorvane")
