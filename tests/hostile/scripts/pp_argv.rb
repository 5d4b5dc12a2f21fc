pp ARGV
pp 1
