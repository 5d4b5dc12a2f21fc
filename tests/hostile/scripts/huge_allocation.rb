puts "before"
s = "x" * 2**40
puts s.size
