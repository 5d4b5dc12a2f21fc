Signal.trap("INT") { puts "trapped" }
Signal.trap("TERM", "IGNORE")
puts "trapped both"
